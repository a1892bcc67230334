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
        Transaction transaction(db, TransactionKind::Writes);
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

// An index added to the books' schema since files were first made, so that an older file's
// queries are served as a new file's are. Building it writes nothing but the index.
void EnsureBookIndex(const std::string& name) {
    try {
        Database& db = AccDb();
        if (db.HasIndex(name)) return;
        for (const IndexDef& index : accSchema().indexes)
            if (index.name == name) {
                Transaction transaction(db, TransactionKind::Writes);
                db.AddIndex(index);
                transaction.Commit();
            }
    } catch (const std::exception& error) {
        messageBox(error.what(), 0, "");
    }
}

}  // namespace

void UpgradeOlderFiles() {
    EnsureStaffRightsField();
    EnsureLetFieldRi();
    EnsureLetFieldRo();
    for (const char* index :
         {"iof_account_side", "iof_work_type", "iof_applicant", "iof_signer", "iof_project_sums"})
        EnsureBookIndex(index);
}

}  // namespace kiv
