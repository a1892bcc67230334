#include "shell/OlderFiles.h"

#include <exception>
#include <string>

#include "platform/forms/Host.h"
#include "shell/Schema.h"
#include "shell/mdM.h"

namespace kiv {

namespace {

// A field added but left unfilled would be taken as done at every later start, so the two are
// one transaction.
void EnsureField(Database& db, const std::string& table, const FieldDef& field, const Sql& fill) {
    try {
        if (db.HasField(table, field.name)) return;
        Transaction transaction(db);
        db.AddField(table, field);
        db.Execute(fill);
        transaction.Commit();
    } catch (const std::exception& error) {
        messageBox(error.what(), MessagePlain, NoTitle);
    }
}

void EnsureStaffRightsField() {
    EnsureField(PeopleDb(), "員工", *peopleSchema().field("員工", "AccS"),
                "UPDATE 員工 SET Accs = 1");
}

void EnsureLetFieldRi() {
    EnsureField(AccDb(), "ri", *accSchema().field("ri", "Let"), "UPDATE ri SET Let = 0");
}

void EnsureLetFieldRo() {
    EnsureField(AccDb(), "ro", *accSchema().field("ro", "Let"), "UPDATE ro SET Let = 0");
}

}  // namespace

void UpgradeOlderFiles() {
    EnsureStaffRightsField();
    EnsureLetFieldRi();
    EnsureLetFieldRo();
}

}  // namespace kiv
