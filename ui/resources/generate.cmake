# Writes the program's resource table as C++ from resources.json and the rendered pictures:
#   cmake -DSOURCE=resources.json -DRENDERED=DIR -DOUTPUT=FILE.cpp -P generate.cmake
# Bitmap N is read from DIR/bitmap_N.png.
file(READ ${SOURCE} json)

function(utf16_literal text out)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  set(${out} "u\"${text}\"" PARENT_SCOPE)
endfunction()

set(arrays "")
set(calls "")

string(JSON bitmap_count LENGTH "${json}" bitmaps)
if(bitmap_count GREATER 0)
  math(EXPR last "${bitmap_count} - 1")
  foreach(i RANGE ${last})
    string(JSON id MEMBER "${json}" bitmaps ${i})
    file(READ ${RENDERED}/bitmap_${id}.png hex HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n    " bytes "${bytes}")
    string(APPEND arrays "const uint8_t bitmap_${id}[] = {\n    ${bytes}\n};\n\n")
    string(APPEND calls "        platform::register_bitmap_resource(module, ${id}, bitmap_${id});\n")
  endforeach()
endif()

string(JSON bar_count LENGTH "${json}" tool_bars)
if(bar_count GREATER 0)
  math(EXPR last "${bar_count} - 1")
  foreach(i RANGE ${last})
    string(JSON id MEMBER "${json}" tool_bars ${i})
    string(JSON button_count LENGTH "${json}" tool_bars ${id})
    set(buttons "")
    if(button_count GREATER 0)
      math(EXPR last_button "${button_count} - 1")
      foreach(b RANGE ${last_button})
        string(JSON command GET "${json}" tool_bars ${id} ${b} command)
        string(JSON text ERROR_VARIABLE no_text GET "${json}" tool_bars ${id} ${b} text)
        if(no_text)
          set(text "")
        endif()
        string(JSON state ERROR_VARIABLE no_state GET "${json}" tool_bars ${id} ${b} state)
        if(no_state)
          set(state 4)
        endif()
        string(JSON style ERROR_VARIABLE no_style GET "${json}" tool_bars ${id} ${b} style)
        if(no_style)
          set(style 0)
        endif()
        utf16_literal("${text}" literal)
        string(APPEND buttons "{${command}, ${literal}, ${state}, ${style}}, ")
      endforeach()
    endif()
    string(APPEND calls "        platform::register_tool_bar_resource(module, ${id}, {${buttons}});\n")
  endforeach()
endif()

file(WRITE ${OUTPUT}.new "// Made by ui/resources/generate.cmake from ui/resources/resources.json: do not edit.
#include <cstdint>

#include \"platform/resource/Resources.h\"
#include \"platform/window/Modules.h\"

namespace {

${arrays}// The program carries these in its own file; they are in place before the program's code runs.
struct Registration {
    Registration() {
        HINSTANCE module = platform::program_instance();
${calls}    }
};

const Registration registration;

}  // namespace
")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
