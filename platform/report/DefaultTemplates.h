#pragma once

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace kiv {

// The templates shipped in the program's folder, also built into the program from the same files:
// ios and jios (a voucher), bill (the cheque sign-off sheet), bi and bo (the received and issued
// cheque lists) and io (the voucher list). Pairs of name and text.
const std::vector<std::pair<std::string_view, std::string_view>>& builtInTemplates();

// The built-in template of that name ("ios"), if there is one.
std::optional<std::string_view> builtInTemplate(std::string_view name);

}  // namespace kiv
