# The demo disks: build/disk (Edition 0) and build/disk-edition1. Each holds
# setup.exe, the edition's main executable (a stand-in program of ours) and the
# generated stand-ins for the other product files.
add_subdirectory(${CMAKE_SOURCE_DIR}/product ${CMAKE_BINARY_DIR}/product)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(DISK_DIR_0 ${DISK_ROOT}/disk)
set(DISK_DIR_1 ${DISK_ROOT}/disk-edition1)
set(PRODUCT_FILES_DIR ${CMAKE_BINARY_DIR}/product-files)
set(PRODUCT_GENERATOR ${CMAKE_SOURCE_DIR}/product/make_product_files.py)

add_custom_command(OUTPUT ${PRODUCT_FILES_DIR}/stamp
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${PRODUCT_FILES_DIR}
  COMMAND ${Python3_EXECUTABLE} ${PRODUCT_GENERATOR} ${PRODUCT_FILES_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${PRODUCT_FILES_DIR}/stamp
  DEPENDS ${PRODUCT_GENERATOR}
  COMMENT "Generating the product's stand-in files")

add_custom_target(disk ALL
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${DISK_DIR_0} ${DISK_DIR_1}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PRODUCT_FILES_DIR} ${DISK_DIR_0}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PRODUCT_FILES_DIR} ${DISK_DIR_1}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${DISK_DIR_0}/stamp ${DISK_DIR_1}/stamp
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:setup_edition0> ${DISK_DIR_0}/setup.exe
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:setup_edition1> ${DISK_DIR_1}/setup.exe
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:product_Vestra> ${DISK_DIR_0}/Vestra.exe
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:product_kminspector>
          ${DISK_DIR_1}/kminspector.exe
  DEPENDS setup_edition0 setup_edition1 product_Vestra product_kminspector
          ${PRODUCT_FILES_DIR}/stamp
  COMMENT "Assembling the demo disks")
