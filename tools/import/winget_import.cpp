// winget export files: {"Sources":[{"SourceDetails":{"Name":"winget",...},
// "Packages":[{"PackageIdentifier":"Git.Git","Version":"2.43.0"},...]},...]}
// ("Version" only with --include-versions).
#include <nlohmann/json.hpp>

#include "import/package_import.h"

namespace tarn::import {
namespace {

using Json = nlohmann::json;

// The text of member `name` of `object`; empty when missing or not text.
std::string TextMember(const Json& object, const char* name) {
  if (!object.is_object()) return {};
  const auto found = object.find(name);
  return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
}

void ReadSource(const Json& source, PackageList& list) {
  const auto details = source.find("SourceDetails");
  const std::string sourceName =
      details != source.end() ? TextMember(*details, "Name") : std::string();
  const auto packages = source.find("Packages");
  if (packages == source.end() || !packages->is_array()) return;
  for (const Json& entry : *packages) {
    Package package;
    package.id = TextMember(entry, "PackageIdentifier");
    package.version = TextMember(entry, "Version");
    package.source = sourceName;
    AddPackage(list, std::move(package), "winget package");
  }
}

}  // namespace

PackageList ReadWingetExport(std::string_view bytes) {
  PackageList list;
  const Json document = Json::parse(Utf8Text(bytes), nullptr, /*allow_exceptions=*/false);
  const auto sources = document.is_object() ? document.find("Sources") : document.end();
  if (document.is_discarded()) {
    list.error = "not JSON";
    return list;
  }
  if (!document.is_object() || sources == document.end() || !sources->is_array()) {
    list.error = "not a winget export: no \"Sources\" list";
    return list;
  }
  for (const Json& source : *sources) {
    if (source.is_object()) ReadSource(source, list);
  }
  return list;
}

}  // namespace tarn::import
