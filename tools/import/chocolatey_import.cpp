// Chocolatey's packages.config: <packages><package id="git"
// version="2.43.0" .../></packages>. The other attributes (install
// arguments, package parameters, sources) are left out: they are the
// machine's business, and arguments would reach the command line unchecked.
#include <pugixml.hpp>

#include "import/package_import.h"

namespace tarn::import {

PackageList ReadChocolateyConfig(std::string_view bytes) {
  PackageList list;
  pugi::xml_document document;
  const pugi::xml_parse_result parsed = document.load_buffer(bytes.data(), bytes.size());
  const pugi::xml_node packages = document.child("packages");
  if (!parsed || !packages) {
    list.error = parsed ? "not a packages.config: no <packages> element"
                        : std::string("not XML: ") + parsed.description() + " at byte " +
                              std::to_string(parsed.offset);
    return list;
  }
  for (const pugi::xml_node node : packages.children("package")) {
    Package package;
    package.id = node.attribute("id").as_string();
    package.version = node.attribute("version").as_string();
    AddPackage(list, std::move(package), "Chocolatey package");
  }
  return list;
}

}  // namespace tarn::import
