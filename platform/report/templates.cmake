# The default report templates: copied beside the program by the build, and built into the
# program from the same files, which writes a missing one again from its own copy.
set(report_template_dir ${CMAKE_SOURCE_DIR}/platform/report/templates)
set(report_template_sources "")
set(report_template_copies "")
foreach(name ios jios bill bi bo io)
  set(source ${report_template_dir}/${name}.rpt)
  set(copy ${CMAKE_BINARY_DIR}/${name}.rpt)
  add_custom_command(OUTPUT ${copy}
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
    DEPENDS ${source})
  list(APPEND report_template_sources ${source})
  list(APPEND report_template_copies ${copy})
endforeach()
add_custom_target(kiv_report_templates ALL DEPENDS ${report_template_copies})

set(report_templates_cpp ${CMAKE_BINARY_DIR}/generated/BuiltInTemplates.cpp)
add_custom_command(OUTPUT ${report_templates_cpp}
  COMMAND ${CMAKE_COMMAND} -DTEMPLATE_DIR=${report_template_dir} -DOUTPUT=${report_templates_cpp}
          -P ${CMAKE_SOURCE_DIR}/platform/report/EmbedTemplates.cmake
  DEPENDS ${report_template_sources} ${CMAKE_SOURCE_DIR}/platform/report/EmbedTemplates.cmake)
target_sources(kiv_report PRIVATE ${report_templates_cpp})
