# cmake -DOUT=file.cpp -DFILES="a|b|c" -P EmbedFiles.cmake: the files as C++ byte arrays, named
# by their file names, for a program that serves them from memory (platform/remote/PageFiles.h).
string(REPLACE "|" ";" files "${FILES}")
list(SORT files)
set(arrays "")
set(entries "")
set(index 0)
foreach(path IN LISTS files)
    get_filename_component(name ${path} NAME)
    file(READ ${path} hex HEX)
    string(LENGTH "${hex}" digits)
    math(EXPR size "${digits} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    # A trailing zero keeps an empty file's array legal; it is not counted in the size.
    string(APPEND arrays "const unsigned char file${index}[] = {${bytes}0x00};\n")
    string(APPEND entries "    {\"${name}\", file${index}, ${size}},\n")
    math(EXPR index "${index} + 1")
endforeach()
if(index EQUAL 0)
    set(entries "    {\"\", nullptr, 0},\n")
endif()
file(WRITE ${OUT}.tmp
"// Generated from the page folder at build time; not edited by hand.
#include \"platform/remote/PageFiles.h\"

namespace pelvano::platform {

namespace {
${arrays}}  // namespace

const PageFile kPageFiles[] = {
${entries}};
const std::size_t kPageFileCount = ${index};

}  // namespace pelvano::platform
")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.tmp)
