#include "platform/report/DefaultTemplates.h"

namespace kiv {

std::optional<std::string_view> builtInTemplate(std::string_view name) {
    for (const auto& [builtInName, text] : builtInTemplates())
        if (builtInName == name) return text;
    return std::nullopt;
}

}  // namespace kiv
