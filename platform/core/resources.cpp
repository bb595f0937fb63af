#include "platform/core/resources.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace platform {

namespace {

std::vector<std::unique_ptr<Resource>>& Table() {
    static std::vector<std::unique_ptr<Resource>> table;
    return table;
}

auto Find(const char* name, int type) {
    auto& table = Table();
    return std::find_if(table.begin(), table.end(),
                        [&](const auto& r) { return r->type == type && r->name == name; });
}

}  // namespace

void RegisterResource(Resource resource) {
    auto it = Find(resource.name.c_str(), resource.type);
    if (it != Table().end())
        **it = std::move(resource);
    else
        Table().push_back(std::make_unique<Resource>(std::move(resource)));
}

const Resource* FindResource(const char* name, int type) {
    if (!name) return nullptr;
    auto it = Find(name, type);
    return it == Table().end() ? nullptr : it->get();
}

void RemoveResource(const char* name, int type) {
    if (!name) return;
    auto it = Find(name, type);
    if (it != Table().end()) Table().erase(it);
}

}  // namespace platform
