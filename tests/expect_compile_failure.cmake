# Builds LEGAL, which must compile, then each of the targets in ILLEGAL, which must not; each must
# fail with an error matching EXPECTED, so that a failure for any other reason is not taken as
# the compiler keeping the rule.
function(build target result output)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD_DIR} --target ${target}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  set(${result} ${rc} PARENT_SCOPE)
  set(${output} "${out}" PARENT_SCOPE)
endfunction()

build(${LEGAL} rc out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${LEGAL} must build but does not:\n${out}")
endif()
foreach(target ${ILLEGAL})
  build(${target} rc out)
  if(rc EQUAL 0)
    message(FATAL_ERROR "${target} builds but must not")
  endif()
  if(NOT out MATCHES "${EXPECTED}")
    message(FATAL_ERROR "${target} fails, but not with \"${EXPECTED}\":\n${out}")
  endif()
  message(STATUS "${target} is refused, as it must be")
endforeach()
