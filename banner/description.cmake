# The description block: the texts in block order and the tool that checks
# them, makes DescriptionOffsets and appends them to setup.exe.
set(description_names german english french spanish italian portuguese)
set(description_texts)
foreach(name ${description_names})
  list(APPEND description_texts ${CMAKE_CURRENT_LIST_DIR}/descriptions/${name}.txt)
endforeach()
set_property(GLOBAL PROPERTY DESCRIPTION_TEXTS ${description_texts})
set_property(GLOBAL PROPERTY DESCBLOCK_TOOL ${HOST_TOOLS_DIR}/descblock)

if(TARGET setup_core)
  if(NOT EXISTS ${HOST_TOOLS_DIR}/descblock)
    message(WARNING "descblock is not built yet (${HOST_TOOLS_DIR}/descblock): "
                    "build the native tree first, as scripts/build.sh does")
  endif()
  set(generated ${CMAKE_BINARY_DIR}/generated)
  add_custom_command(OUTPUT ${generated}/description_offsets.h
    COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}
    COMMAND ${HOST_TOOLS_DIR}/descblock offsets ${generated}/description_offsets.h
            ${description_texts}
    DEPENDS ${description_texts} ${HOST_TOOLS_DIR}/descblock
    COMMENT "Description distances from the texts")
  add_custom_target(description_offsets DEPENDS ${generated}/description_offsets.h)
  add_dependencies(setup_core description_offsets)
  target_include_directories(setup_core PRIVATE ${generated})
  target_sources(setup_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/description_block_win.cpp)
endif()
