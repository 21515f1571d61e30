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
set(TORVELA_DATA_FILES "${TORVELA_DATA_DIR}/planet.txt" "${TORVELA_DATA_DIR}/latitude.txt")

# Copies the data files beside a target's executable after each build.
function(torvela_copy_data target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TORVELA_DATA_FILES} $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()
