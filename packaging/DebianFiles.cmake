# Install step of the Debian package only: cmake/Install.cmake runs this in
# every install, and it acts when CPack sets TORVELA_DEBIAN_PACKAGE. Paths
# come from Install.cmake (torvela_*); the package's prefix is /usr.
if(NOT TORVELA_DEBIAN_PACKAGE)
  return()
endif()

set(doc "${CMAKE_INSTALL_PREFIX}/${torvela_doc_dir}")
file(INSTALL "${torvela_source_dir}/packaging/copyright" "${torvela_gen_dir}/changelog.Debian.gz"
     DESTINATION "${doc}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# The data files are tables the program reads; lintian takes any .txt for
# documentation. The package is not uploaded to Debian, so its first
# changelog entry closes no "intent to package" bug.
string(REGEX REPLACE "^/" "" data_dir "${torvela_data_dir}")
file(WRITE "${torvela_gen_dir}/lintian-overrides"
  "torvela: package-contains-documentation-outside-usr-share-doc [${data_dir}/*.txt]\n"
  "torvela: initial-upload-closes-no-bugs\n")
file(INSTALL "${torvela_gen_dir}/lintian-overrides" DESTINATION "${CMAKE_INSTALL_PREFIX}/share/lintian/overrides"
     RENAME torvela PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# Debian has the GPL and the LGPL in /usr/share/common-licenses, which the
# copyright file points to; the copies become links there.
foreach(pair "LICENSE=GPL-3" "licenses/GPL-3.0.txt=GPL-3" "licenses/LGPL-3.0.txt=LGPL-3")
  string(REPLACE "=" ";" pair "${pair}")
  list(GET pair 0 copy)
  list(GET pair 1 licence)
  set(installed "$ENV{DESTDIR}${doc}/${copy}")
  if(EXISTS "${installed}")
    cmake_path(GET copy PARENT_PATH folder)
    cmake_path(RELATIVE_PATH torvela_common_licenses
               BASE_DIRECTORY "${torvela_prefix}/${torvela_doc_dir}/${folder}" OUTPUT_VARIABLE target)
    file(REMOVE "${installed}")
    file(CREATE_LINK "${target}/${licence}" "${installed}" SYMBOLIC)
  endif()
endforeach()

# As dh_strip does: no compiler version notes in the programs.
if(torvela_strip)
  file(GLOB programs "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${torvela_bin_dir}/torvela*")
  foreach(program IN LISTS programs)
    execute_process(COMMAND "${torvela_strip}" --remove-section=.comment --remove-section=.note
                            "${program}" COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
endif()
