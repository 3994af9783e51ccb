# Fails when a layer includes a layer above it: core sees nothing of engine,
# ui, tools or tests, engine nothing of ui, tools or tests, and ui nothing of
# tools or tests. Inside ui, the controls and the theme see none of the pages,
# and the pages nothing of the application that hosts them.
# Run as: cmake -DSOURCE_DIR=<top> -P CheckLayers.cmake
set(violations "")
function(check_layer folder forbidden)
  file(GLOB_RECURSE sources "${SOURCE_DIR}/${folder}/*.hpp" "${SOURCE_DIR}/${folder}/*.cpp"
                            "${SOURCE_DIR}/${folder}/*.in")
  foreach(source IN LISTS sources)
    file(STRINGS "${source}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<](${forbidden})/")
    foreach(line IN LISTS lines)
      file(RELATIVE_PATH relative "${SOURCE_DIR}" "${source}")
      list(APPEND violations "${relative}: ${line}")
    endforeach()
  endforeach()
  set(violations "${violations}" PARENT_SCOPE)
endfunction()

check_layer(core "engine|ui|tools|tests")
check_layer(engine "ui|tools|tests")
check_layer(ui "tools|tests")
foreach(shared controls theme)
  check_layer(ui/${shared} "ui/(addphotos|rename|send|update|app)")
endforeach()
foreach(page addphotos rename send update)
  check_layer(ui/${page} "ui/app")
endforeach()

if(violations)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "layer violations:\n  ${text}")
endif()
