#include <exception>
#include <iostream>
#include <memory>
#include <vector>

#include "platform/db/Database.h"
#include "platform/forms/ProgramFolder.h"
#include "shell/Schema.h"

// Until the forms arrive, the program opens its three databases (creating any that is missing
// with its schema) and ends.
int main() {
    const std::pair<const char*, const kiv::Schema*> files[] = {
        {"acc.mdb", &kiv::accSchema()},
        {"zove3.mdb", &kiv::peopleSchema()},
        {"pt.mdb", &kiv::printSchema()},
    };
    std::vector<std::unique_ptr<kiv::Database>> databases;
    for (const auto& [name, schema] : files) {
        std::string path = kiv::programFile(name);
        try {
            databases.push_back(kiv::Database::open(path, *schema));
        } catch (const std::exception& e) {
            std::cerr << path << ": " << e.what() << '\n';
            return 1;
        }
    }
    return 0;
}
