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
# The maintainer scripts take debhelper's additions before they end; the
# CPack package has them without.
foreach(script postinst prerm postrm)
  file(READ ${packaging}/maintainer/${script} text)
  string(REPLACE "\nexit 0\n" "\n#DEBHELPER#\n\nexit 0\n" text "${text}")
  file(WRITE ${OUT}/melodeck.${script} "${text}")
  file(CHMOD ${OUT}/melodeck.${script} FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endforeach()
