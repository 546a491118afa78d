# Each area folder builds brelo_<area> from its logic files (QtCore, QtGui and the floors below,
# never Qt Widgets) and, when it has windows, brelo_<area>_ui from its window files. Both lists
# are written out in the folder's CMakeLists.txt:
#   brelo_area(AREA LOGIC files... [UI files...] [LOGIC_DEPS targets...] [UI_DEPS targets...])
function(brelo_area area)
  cmake_parse_arguments(ARG "" "" "LOGIC;UI;LOGIC_DEPS;UI_DEPS" ${ARGN})
  add_library(brelo_${area} STATIC ${ARG_LOGIC})
  target_link_libraries(brelo_${area} PUBLIC Qt6::Core Qt6::Gui ${ARG_LOGIC_DEPS})
  if(ARG_UI)
    add_library(brelo_${area}_ui STATIC ${ARG_UI})
    target_link_libraries(brelo_${area}_ui PUBLIC brelo_${area} brelo_dialog Qt6::Widgets ${ARG_UI_DEPS})
  endif()
endfunction()
