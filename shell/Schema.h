#pragma once

#include "platform/db/Schema.h"

namespace kiv {

// The books: vouchers, cheques, cash and bank books, accounts, word lists, projects and
// contracts (acc.mdb).
const Schema& accSchema();
// Staff, the super user, customers, vendors, counties, work types and company data (zove3.mdb).
const Schema& peopleSchema();
// The tables that feed the printed reports (pt.mdb).
const Schema& printSchema();

}  // namespace kiv
