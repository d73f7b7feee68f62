# The description block: the texts in block order and the tool that checks
# them, makes DescriptionOffsets and appends them to setup.exe.
set(description_names german english french spanish italian portuguese)
set(description_texts)
foreach(name ${description_names})
  list(APPEND description_texts ${CMAKE_CURRENT_LIST_DIR}/descriptions/${name}.txt)
endforeach()
set_property(GLOBAL PROPERTY DESCRIPTION_TEXTS ${description_texts})
set_property(GLOBAL PROPERTY DESCBLOCK_TOOL ${HOST_TOOLS_DIR}/descblock)

# description_offsets.h for target, the distances of the shipped texts, made
# by descblock: the tool target in the native tree, its path in the Windows
# trees (which take it from the native one).
function(add_description_offsets target descblock)
  get_property(texts GLOBAL PROPERTY DESCRIPTION_TEXTS)
  set(generated ${CMAKE_CURRENT_BINARY_DIR}/generated)
  add_custom_command(OUTPUT ${generated}/description_offsets.h
    COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}
    COMMAND ${descblock} offsets ${generated}/description_offsets.h ${texts}
    DEPENDS ${texts} ${descblock}
    COMMENT "Description distances from the texts")
  # A target of another folder than this rule's waits for it by name.
  add_custom_target(${target}_description_offsets DEPENDS ${generated}/description_offsets.h)
  add_dependencies(${target} ${target}_description_offsets)
  target_include_directories(${target} PRIVATE ${generated})
endfunction()

if(TARGET setup_core)
  if(NOT EXISTS ${HOST_TOOLS_DIR}/descblock)
    message(WARNING "descblock is not built yet (${HOST_TOOLS_DIR}/descblock): "
                    "build the native tree first, as scripts/build.sh does")
  endif()
  add_description_offsets(setup_core ${HOST_TOOLS_DIR}/descblock)
  target_sources(setup_core PRIVATE ${CMAKE_CURRENT_LIST_DIR}/description_block_win.cpp)
endif()
