# Sources of a library folder: every .cpp in it, where files ending in _win.cpp join only the
# Windows build, files ending in _posix.cpp only the native one, and the names given after EXCLUDE
# stay out of both.
function(qorva_platform_sources out dir)
  cmake_parse_arguments(ARG "" "" "EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  if(QORVA_WINDOWS)
    list(FILTER sources EXCLUDE REGEX "_posix\\.cpp$")
  else()
    list(FILTER sources EXCLUDE REGEX "_win\\.cpp$")
  endif()
  foreach(name ${ARG_EXCLUDE})
    list(REMOVE_ITEM sources ${dir}/${name})
  endforeach()
  set(${out} ${sources} PARENT_SCOPE)
endfunction()
