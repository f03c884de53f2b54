# Writes the debian/ folder of the source package into OUT (cmake -DOUT=DIR
# -P Generate.cmake): debian/control from the binary package's fields that
# CPack uses too, the changelog, copyright and maintainer scripts of the
# CPack package, and the rules that build it with debhelper.
cmake_minimum_required(VERSION 3.25)
set(packaging ${CMAKE_CURRENT_LIST_DIR}/..)
include(${packaging}/Package.cmake)
if(NOT OUT)
  message(FATAL_ERROR "usage: cmake -DOUT=DIR -P Generate.cmake")
endif()
string(REPLACE "\n" "\n " control_description "${MELODECK_PACKAGE_DESCRIPTION}")
configure_file(${CMAKE_CURRENT_LIST_DIR}/control.in ${OUT}/control @ONLY)
file(COPY ${CMAKE_CURRENT_LIST_DIR}/rules ${CMAKE_CURRENT_LIST_DIR}/source
  ${packaging}/changelog ${packaging}/copyright DESTINATION ${OUT})
foreach(script postinst prerm postrm)
  file(COPY_FILE ${packaging}/maintainer/${script} ${OUT}/melodeck.${script})
endforeach()
