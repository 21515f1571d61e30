# Project-wide build settings and helpers.

# Our own code: strict warnings, and no contraction of a*b+c into fused
# multiply-adds, so the astronomy follows its stated arithmetic to the bit.
# Warnings become errors only where our developers build (the presets and CI
# set CMAKE_COMPILE_WARNING_AS_ERROR); a packager's compiler may warn where
# ours does not, and that must not stop a release build.
add_library(torvela_options INTERFACE)
target_compile_options(torvela_options INTERFACE
  -Wall -Wextra -ffp-contract=off -fno-fast-math)

set(TORVELA_DATA_DIR "${PROJECT_SOURCE_DIR}/data")
set(TORVELA_DATA_FILES "${TORVELA_DATA_DIR}/planet.txt" "${TORVELA_DATA_DIR}/latitude.txt"
  "${TORVELA_DATA_DIR}/places.txt")

# Where an installed program finds its data, relative to its own folder, from
# the install directories chosen at configure time (bin -> ../share/torvela,
# games -> ../share/games/torvela). Relative, so the tree can be installed
# under another prefix (cmake --install --prefix, CPack's /usr) unchanged.
set(TORVELA_DATA_INSTALL_DIR "${CMAKE_INSTALL_DATADIR}/torvela")
cmake_path(RELATIVE_PATH CMAKE_INSTALL_FULL_DATADIR BASE_DIRECTORY "${CMAKE_INSTALL_FULL_BINDIR}"
           OUTPUT_VARIABLE TORVELA_DATA_FROM_BINDIR)
cmake_path(APPEND TORVELA_DATA_FROM_BINDIR "torvela")
# The same for the documents, where the user guide is installed.
set(TORVELA_DOC_INSTALL_DIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/torvela")
cmake_path(RELATIVE_PATH CMAKE_INSTALL_FULL_DATAROOTDIR BASE_DIRECTORY "${CMAKE_INSTALL_FULL_BINDIR}"
           OUTPUT_VARIABLE TORVELA_DOC_FROM_BINDIR)
cmake_path(APPEND TORVELA_DOC_FROM_BINDIR "doc" "torvela")

# Copies the data files beside a target's executable after each build.
function(torvela_copy_data target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TORVELA_DATA_FILES} $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()

# The time-zone database is read through libcctz; Debian ships neither a
# CMake package nor a pkg-config file for it.
find_path(CCTZ_INCLUDE_DIR cctz/time_zone.h REQUIRED)
find_library(CCTZ_LIBRARY cctz REQUIRED)
add_library(cctz::cctz UNKNOWN IMPORTED)
set_target_properties(cctz::cctz PROPERTIES
  IMPORTED_LOCATION "${CCTZ_LIBRARY}"
  INTERFACE_INCLUDE_DIRECTORIES "${CCTZ_INCLUDE_DIR}")

# Copies the user guide and its pictures into docs/ beside a target's
# executable, where the program looks for it in a build tree.
function(torvela_copy_docs target)
  file(GLOB guide_files CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/docs/*.md" "${PROJECT_SOURCE_DIR}/docs/*.png")
  if(guide_files)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E make_directory $<TARGET_FILE_DIR:${target}>/docs
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${guide_files} $<TARGET_FILE_DIR:${target}>/docs
      VERBATIM)
  endif()
endfunction()
