# Writes OUTPUT, a C++ source that holds every template of the list TEMPLATES as text, so that the
# program carries the very files it ships and can write one again when it is missing.
# Run as: cmake "-DTEMPLATES=a.rpt;b.rpt" -DOUTPUT=... -P EmbedTemplates.cmake
set(arrays "")
set(entries "")
set(index 0)
foreach(template ${TEMPLATES})
  get_filename_component(name ${template} NAME_WE)
  file(READ ${template} hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(APPEND arrays "const unsigned char template${index}[] = {${bytes}0x00};\n")
  string(APPEND entries "        {\"${name}\", text(template${index}, sizeof template${index} - 1)},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE ${OUTPUT} "// Made by the build from the report templates; not to be edited.
#include \"platform/report/DefaultTemplates.h\"

namespace kiv {

namespace {

${arrays}
std::string_view text(const unsigned char* bytes, size_t size) {
    return std::string_view(reinterpret_cast<const char*>(bytes), size);
}

}  // namespace

const std::vector<std::pair<std::string_view, std::string_view>>& builtInTemplates() {
    static const std::vector<std::pair<std::string_view, std::string_view>> templates = {
${entries}    };
    return templates;
}

}  // namespace kiv
")
