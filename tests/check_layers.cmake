# Fails when SQLite is named above the database layer: only platform/db may use it,
# so that everything else speaks of the books in the database layer's own terms.
file(GLOB_RECURSE files
  ${SOURCE_DIR}/platform/*.cpp ${SOURCE_DIR}/platform/*.h
  ${SOURCE_DIR}/shell/*.cpp ${SOURCE_DIR}/shell/*.h ${SOURCE_DIR}/ledger/*.cpp ${SOURCE_DIR}/ledger/*.h
  ${SOURCE_DIR}/vouchers/*.cpp ${SOURCE_DIR}/vouchers/*.h ${SOURCE_DIR}/cheques/*.cpp
  ${SOURCE_DIR}/cheques/*.h ${SOURCE_DIR}/books/*.cpp ${SOURCE_DIR}/books/*.h
  ${SOURCE_DIR}/projects/*.cpp ${SOURCE_DIR}/projects/*.h ${SOURCE_DIR}/contracts/*.cpp
  ${SOURCE_DIR}/contracts/*.h ${SOURCE_DIR}/statistics/*.cpp ${SOURCE_DIR}/statistics/*.h
  ${SOURCE_DIR}/app/*.cpp)
set(offending "")
foreach(f ${files})
  if(f MATCHES "/platform/db/")
    continue()
  endif()
  file(STRINGS ${f} hits REGEX "sqlite3|SQLITE_")
  if(hits)
    list(APPEND offending ${f})
  endif()
endforeach()
if(offending)
  string(REPLACE ";" "\n  " listing "${offending}")
  message(FATAL_ERROR "SQLite named above platform/db:\n  ${listing}")
endif()
