// Scoop exports: {"buckets":[...],"apps":[{"Name":"7zip","Source":"main",
// "Version":"23.01","Info":""},...]}. "Source" is the bucket, or a URL or
// path for an app installed from a manifest of its own; older exports say
// "Global install" and "Held package" in "Info", newer ones may also carry
// "Global" and "Held" as switches.
#include <nlohmann/json.hpp>

#include "import/package_import.h"

namespace tarn::import {
namespace {

using Json = nlohmann::json;

std::string TextMember(const Json& object, const char* name) {
  const auto found = object.find(name);
  return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
}

bool SwitchMember(const Json& object, const char* name) {
  const auto found = object.find(name);
  return found != object.end() && found->is_boolean() && found->get<bool>();
}

void ReadApp(const Json& app, PackageList& list) {
  const std::string info = TextMember(app, "Info");
  Package package;
  package.id = TextMember(app, "Name");
  // A URL or path is no bucket: the app is installed by its name.
  const std::string source = TextMember(app, "Source");
  if (SafeName(source)) package.source = source;
  // Only a held app keeps its version: any other follows its bucket.
  const bool held = SwitchMember(app, "Held") || info.find("Held package") != std::string::npos;
  if (held) package.version = TextMember(app, "Version");
  package.global = SwitchMember(app, "Global") || info.find("Global install") != std::string::npos;
  AddPackage(list, std::move(package), "Scoop app");
}

}  // namespace

PackageList ReadScoopExport(std::string_view bytes) {
  PackageList list;
  const Json document = Json::parse(Utf8Text(bytes), nullptr, /*allow_exceptions=*/false);
  const auto apps = document.is_object() ? document.find("apps") : document.end();
  if (document.is_discarded()) {
    list.error = "not JSON";
    return list;
  }
  if (!document.is_object() || apps == document.end() || !apps->is_array()) {
    list.error = "not a Scoop export: no \"apps\" list";
    return list;
  }
  for (const Json& app : *apps) {
    if (app.is_object()) ReadApp(app, list);
  }
  return list;
}

}  // namespace tarn::import
