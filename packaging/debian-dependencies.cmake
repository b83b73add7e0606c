# Read by cpack: the package's dependencies. The game itself needs only the
# C and C++ runtimes. SDL2 and SDL2_mixer are needed by the audio module
# alone, which the game loads on its first sound and plays on in silence
# without, so they are recommended, not required. dpkg-shlibdeps works both
# fields out, the game's libraries for Depends and the module's for
# Recommends, and keeps a library needed by both in Depends only.
set(shlibdeps_dir ${CPACK_QUORRELL_SHLIBDEPS_DIR})
# It reads the source package's control file, which a CPack build has none of.
file(MAKE_DIRECTORY ${shlibdeps_dir}/debian)
file(WRITE ${shlibdeps_dir}/debian/control "")
set(command dpkg-shlibdeps -O ${CPACK_QUORRELL_PROGRAM})
if(CPACK_QUORRELL_SOUND_MODULE)
  list(APPEND command -dRecommends ${CPACK_QUORRELL_SOUND_MODULE})
endif()
execute_process(COMMAND ${command} WORKING_DIRECTORY ${shlibdeps_dir}
  OUTPUT_VARIABLE substitutions ERROR_VARIABLE complaints RESULT_VARIABLE failed)
if(failed OR NOT substitutions MATCHES "shlibs:Depends=([^\n]+)")
  message(FATAL_ERROR "dpkg-shlibdeps found no dependencies: ${complaints}")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}")
if(substitutions MATCHES "shlibs:Recommends=([^\n]+)")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "${CMAKE_MATCH_1}")
endif()
