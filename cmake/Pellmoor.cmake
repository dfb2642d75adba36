# Shared compile settings and the helpers that make one library a source folder.

set(PELLMOOR_LIBS "" CACHE INTERNAL "")

add_library(pellmoor_flags INTERFACE)
target_compile_options(pellmoor_flags INTERFACE -Wall -Wextra)
target_include_directories(pellmoor_flags INTERFACE ${CMAKE_SOURCE_DIR}/src)

if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # Narrow literals are the system's own Shift-JIS texts.
  target_compile_options(pellmoor_flags INTERFACE -fexec-charset=CP932)
  target_compile_definitions(pellmoor_flags INTERFACE PELLMOOR_CP932_LITERALS=1)
endif()

if(PELLMOOR_SANITIZE)
  # Every report is fatal: a test that only prints one would pass.
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()
if(PELLMOOR_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer -O1)
  add_link_options(-fsanitize=thread)
endif()
if(PELLMOOR_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all -O1)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()

function(pellmoor_add_library name dir)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_link_libraries(${name} PUBLIC pellmoor_flags Boost::headers)
    set(PELLMOOR_LIBS ${PELLMOOR_LIBS} ${name} CACHE INTERNAL "")
  endif()
endfunction()

function(pellmoor_finish_libraries)
  # Every library sees the external libraries of the platform layer's interface.
  foreach(lib ${PELLMOOR_LIBS})
    if(NOT lib STREQUAL "plat")
      target_link_libraries(${lib} PUBLIC Threads::Threads)
    endif()
  endforeach()
  list(JOIN PELLMOOR_LIBS "," group)
  add_library(pellmoor_all INTERFACE)
  target_link_libraries(pellmoor_all INTERFACE "$<LINK_GROUP:RESCAN,${group}>" plat)
endfunction()
