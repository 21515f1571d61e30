# Project-wide build settings and helpers.

# Our own code: strict warnings, and no contraction of a*b+c into fused
# multiply-adds, so the astronomy follows its stated arithmetic to the bit.
add_library(torvela_options INTERFACE)
target_compile_options(torvela_options INTERFACE
  -Wall -Wextra -Werror -ffp-contract=off -fno-fast-math)

set(TORVELA_DATA_DIR "${PROJECT_SOURCE_DIR}/data")
set(TORVELA_DATA_FILES "${TORVELA_DATA_DIR}/planet.txt" "${TORVELA_DATA_DIR}/latitude.txt")

# Copies the data files beside a target's executable after each build.
function(torvela_copy_data target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TORVELA_DATA_FILES} $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()

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
