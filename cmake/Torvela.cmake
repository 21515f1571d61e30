# Project-wide build settings and helpers.

# Our own code: strict warnings, and no contraction of a*b+c into fused
# multiply-adds, so the astronomy follows its stated arithmetic to the bit.
add_library(torvela_options INTERFACE)
target_compile_options(torvela_options INTERFACE
  -Wall -Wextra -Werror -ffp-contract=off -fno-fast-math)

set(TORVELA_DATA_DIR "${PROJECT_SOURCE_DIR}/data")
set(TORVELA_DATA_FILES "${TORVELA_DATA_DIR}/planet.txt" "${TORVELA_DATA_DIR}/latitude.txt"
  "${TORVELA_DATA_DIR}/places.txt")

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
