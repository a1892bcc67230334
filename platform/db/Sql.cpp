#include "platform/db/Sql.h"

namespace kiv {

Sql& Sql::append(std::string_view tail) {
    if (!joined_ || joined_.use_count() > 1) {
        auto text = std::make_shared<std::string>(this->text());
        joined_ = std::move(text);
    }
    joined_->append(tail);
    return *this;
}

}  // namespace kiv
