# Fails when a C++ file of the project is not formatted with the repository's .clang-format.
find_program(CLANG_FORMAT NAMES clang-format clang-format-14 REQUIRED)
file(GLOB_RECURSE files
  ${SOURCE_DIR}/platform/*.cpp ${SOURCE_DIR}/platform/*.h
  ${SOURCE_DIR}/shell/*.cpp ${SOURCE_DIR}/shell/*.h
  ${SOURCE_DIR}/vouchers/*.cpp ${SOURCE_DIR}/vouchers/*.h
  ${SOURCE_DIR}/cheques/*.cpp ${SOURCE_DIR}/cheques/*.h
  ${SOURCE_DIR}/ledger/*.cpp ${SOURCE_DIR}/ledger/*.h
  ${SOURCE_DIR}/projects/*.cpp ${SOURCE_DIR}/projects/*.h
  ${SOURCE_DIR}/contracts/*.cpp ${SOURCE_DIR}/contracts/*.h
  ${SOURCE_DIR}/statistics/*.cpp ${SOURCE_DIR}/statistics/*.h
  ${SOURCE_DIR}/app/*.cpp ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h
  ${SOURCE_DIR}/bench/*.cpp ${SOURCE_DIR}/bench/*.h)
set(unformatted "")
foreach(f ${files})
  execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror ${f}
    RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
  if(NOT rc EQUAL 0)
    list(APPEND unformatted ${f})
  endif()
endforeach()
if(unformatted)
  string(REPLACE ";" "\n  " listing "${unformatted}")
  message(FATAL_ERROR "Not formatted with clang-format:\n  ${listing}")
endif()
