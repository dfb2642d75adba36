# Shared compile settings and the helpers that make one library a source folder.

add_library(pellmoor_flags INTERFACE)
target_compile_options(pellmoor_flags INTERFACE -Wall -Wextra)
target_include_directories(pellmoor_flags INTERFACE ${CMAKE_SOURCE_DIR}/src)

# Narrow literals are the system's own Shift-JIS texts. g++ writes them in CP932; other
# compilers keep the source's UTF-8, so they build only a copy of the tree whose literals
# scripts/cp932-tree has written as CP932 bytes (`make fuzz` does that).
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  target_compile_options(pellmoor_flags INTERFACE -fexec-charset=CP932)
elseif(NOT EXISTS ${CMAKE_SOURCE_DIR}/.cp932-literals)
  message(FATAL_ERROR "${CMAKE_CXX_COMPILER_ID} would compile the text literals as UTF-8, not as the "
          "CP932 bytes the program uses. Build with g++, or build the copy that "
          "`scripts/cp932-tree <folder>` writes, as `make fuzz` does.")
endif()
target_compile_definitions(pellmoor_flags INTERFACE PELLMOOR_CP932_LITERALS=1)

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

# A library of the files of one or more source folders (a list) that links the libraries
# named after the folders.
function(pellmoor_add_library name dirs)
  list(TRANSFORM dirs REPLACE "(.+)" "${CMAKE_SOURCE_DIR}/\\1/*.cpp" OUTPUT_VARIABLE patterns)
  file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${patterns})
  add_library(${name} STATIC ${srcs})
  target_link_libraries(${name} PUBLIC pellmoor_flags Boost::headers Threads::Threads ${ARGN})
  # Under the sanitizers the player's own code is optimised a little: the drives that play
  # the sample game run several times faster, while the test code stays quick to compile.
  if(PELLMOOR_SANITIZE)
    target_compile_options(${name} PRIVATE -O1)
  endif()
endfunction()

# The environment of every test, so that a plain `ctest` in the build folder runs as
# scripts/run-tests does: no display, no sound card, every sanitizer report fatal. The
# sanitizer defaults go first, so options the caller exports still win.
set(PELLMOOR_TEST_ENVIRONMENT SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy PELLMOOR_HEADLESS=1)
set(PELLMOOR_TEST_ENVIRONMENT_MODIFICATION
    ASAN_OPTIONS=string_prepend:detect_leaks=1:
    LSAN_OPTIONS=string_prepend:suppressions=${CMAKE_SOURCE_DIR}/scripts/lsan.supp:
    UBSAN_OPTIONS=string_prepend:print_stacktrace=1:halt_on_error=1:
    TSAN_OPTIONS=string_prepend:halt_on_error=1:second_deadlock_stack=1:)

# Gives the named tests the environment above.
function(pellmoor_test_environment)
  set_tests_properties(${ARGN} PROPERTIES ENVIRONMENT "${PELLMOOR_TEST_ENVIRONMENT}"
                       ENVIRONMENT_MODIFICATION "${PELLMOOR_TEST_ENVIRONMENT_MODIFICATION}")
endfunction()
