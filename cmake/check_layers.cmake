# The source folders are layers, lowest first. A file may include its own layer and the layers
# below it, never one above: an include that goes up a layer stops the configuration and the build.
#
# Included by the top CMakeLists (which calls check_source_layers at configure time) and run as a
# script (`cmake -DSOURCE_DIR=... -P check_layers.cmake`) before every build, so that an include
# added without reconfiguring is refused too.
set(SOURCE_LAYERS platform stream world screens net web app)

function(check_source_layers source_dir)
  set(violations "")
  list(LENGTH SOURCE_LAYERS layer_count)
  foreach(layer IN LISTS SOURCE_LAYERS)
    list(FIND SOURCE_LAYERS ${layer} level)
    file(GLOB files ${source_dir}/${layer}/*.h ${source_dir}/${layer}/*.cpp)
    foreach(file IN LISTS files)
      file(STRINGS ${file} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[a-z_]+/")
      foreach(line IN LISTS includes)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([a-z_]+)/.*" "\\1" target "${line}")
        list(FIND SOURCE_LAYERS ${target} target_level)
        if(target_level GREATER level)
          file(RELATIVE_PATH shown ${source_dir} ${file})
          string(STRIP "${line}" line)
          list(APPEND violations "  src/${shown}: ${line} (${target} is above ${layer})")
        endif()
      endforeach()
    endforeach()
  endforeach()
  if(violations)
    string(REPLACE ";" "\n" violations "${violations}")
    message(FATAL_ERROR "An include goes up a layer (layers, lowest first: ${SOURCE_LAYERS}):\n"
      "${violations}")
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND SOURCE_DIR)
  check_source_layers(${SOURCE_DIR})
endif()
