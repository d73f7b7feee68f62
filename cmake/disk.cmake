# The demo disks: build/disk (Edition 0) and build/disk-edition1.
set(DISK_DIR_0 ${DISK_ROOT}/disk)
set(DISK_DIR_1 ${DISK_ROOT}/disk-edition1)
add_custom_target(disk ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DISK_DIR_0} ${DISK_DIR_1}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:setup_edition0> ${DISK_DIR_0}/setup.exe
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:setup_edition1> ${DISK_DIR_1}/setup.exe
  DEPENDS setup_edition0 setup_edition1
  COMMENT "Assembling the demo disks")
