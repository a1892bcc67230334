# The default report templates, every .rpt file of the templates folder: copied beside the program
# by the build, and built into the program from the same files, which writes a missing one again
# from its own copy.
file(GLOB report_template_sources CONFIGURE_DEPENDS
     ${CMAKE_SOURCE_DIR}/platform/report/templates/*.rpt)
list(SORT report_template_sources)
set(report_template_copies "")
foreach(source ${report_template_sources})
  get_filename_component(name ${source} NAME)
  set(copy ${CMAKE_BINARY_DIR}/${name})
  add_custom_command(OUTPUT ${copy}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
    DEPENDS ${source})
  list(APPEND report_template_copies ${copy})
endforeach()
add_custom_target(kiv_report_templates ALL DEPENDS ${report_template_copies})

set(report_templates_cpp ${CMAKE_BINARY_DIR}/generated/BuiltInTemplates.cpp)
add_custom_command(OUTPUT ${report_templates_cpp}
  COMMAND ${CMAKE_COMMAND} "-DTEMPLATES=${report_template_sources}" -DOUTPUT=${report_templates_cpp}
          -P ${CMAKE_SOURCE_DIR}/platform/report/EmbedTemplates.cmake
  DEPENDS ${report_template_sources} ${CMAKE_SOURCE_DIR}/platform/report/EmbedTemplates.cmake
  VERBATIM)
target_sources(kiv_report PRIVATE ${report_templates_cpp})
