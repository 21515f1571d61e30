# Installation layout and the Debian package.
set(TORVELA_APP_ID "invalid.torvela.Torvela")
set(TORVELA_MAINTAINER "Torvela Project <torvela@torvela.invalid>")

if(TARGET torvela)
  install(TARGETS torvela RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET torvela-cli)
  install(TARGETS torvela-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# The programs look for their data beside themselves, then in this folder
# (found through TORVELA_DATA_FROM_BINDIR, see cmake/Torvela.cmake).
install(FILES ${TORVELA_DATA_FILES} DESTINATION ${TORVELA_DATA_INSTALL_DIR})

# Desktop entry, metainfo, icons and documents go where the desktop and dpkg
# look for them (share/), even when the program's data goes elsewhere.
install(FILES packaging/${TORVELA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)

# Files made from the version and the release date (CMakeLists.txt).
set(gen_dir "${PROJECT_BINARY_DIR}/packaging")
configure_file(packaging/${TORVELA_APP_ID}.metainfo.xml.in
               "${gen_dir}/${TORVELA_APP_ID}.metainfo.xml" @ONLY)
install(FILES "${gen_dir}/${TORVELA_APP_ID}.metainfo.xml" DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)

# TORVELA_RELEASE_DATE (YYYY-MM-DD) as an RFC 5322 date, as Debian
# changelogs want it: "Sun, 06 Dec 2026 00:00:00 +0000".
function(torvela_rfc5322_date iso out_var)
  string(REGEX MATCH "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$" m "${iso}")
  if(NOT m)
    message(FATAL_ERROR "TORVELA_RELEASE_DATE is not YYYY-MM-DD: ${iso}")
  endif()
  set(year ${CMAKE_MATCH_1})
  set(day ${CMAKE_MATCH_3})
  string(REGEX REPLACE "^0" "" month "${CMAKE_MATCH_2}")
  string(REGEX REPLACE "^0" "" d "${day}")
  # Day of the week by Sakamoto's method, 0 = Sunday.
  set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
  set(weekdays Sun Mon Tue Wed Thu Fri Sat)
  set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
  math(EXPR i "${month} - 1")
  list(GET offsets ${i} offset)
  list(GET months ${i} month_name)
  set(y ${year})
  if(month LESS 3)
    math(EXPR y "${year} - 1")
  endif()
  math(EXPR w "(${y} + ${y} / 4 - ${y} / 100 + ${y} / 400 + ${offset} + ${d}) % 7")
  list(GET weekdays ${w} weekday)
  set(${out_var} "${weekday}, ${day} ${month_name} ${year} 00:00:00 +0000" PARENT_SCOPE)
endfunction()

# The Debian changelog and the manual pages, compressed as Debian wants them:
# gzip -9n stores no name or time, so each build gives the same bytes.
set(TORVELA_DEBIAN_RELEASE 1)
set(TORVELA_DEBIAN_VERSION "${PROJECT_VERSION}-${TORVELA_DEBIAN_RELEASE}")
torvela_rfc5322_date("${TORVELA_RELEASE_DATE}" TORVELA_RELEASE_DATE_RFC5322)
configure_file(packaging/changelog.Debian.in "${gen_dir}/changelog.Debian" @ONLY)
set(compressed "${gen_dir}/changelog.Debian.gz")
foreach(page torvela torvela-cli)
  if(TARGET ${page})
    configure_file(packaging/man/${page}.1.in "${gen_dir}/${page}.1" @ONLY)
    install(FILES "${gen_dir}/${page}.1.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    list(APPEND compressed "${gen_dir}/${page}.1.gz")
  endif()
endforeach()
find_program(TORVELA_GZIP gzip REQUIRED)
foreach(gz IN LISTS compressed)
  string(REGEX REPLACE "\\.gz$" "" plain "${gz}")
  add_custom_command(OUTPUT "${gz}" COMMAND ${TORVELA_GZIP} -9nkf "${plain}"
                     DEPENDS "${plain}" VERBATIM)
endforeach()
add_custom_target(torvela_packaging_files ALL DEPENDS ${compressed})

set(icon_dir "${PROJECT_SOURCE_DIR}/ui/images")
if(EXISTS "${icon_dir}/torvela.svg")
  install(FILES "${icon_dir}/torvela.svg" DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps
          RENAME ${TORVELA_APP_ID}.svg)
endif()
foreach(size 16 24 32 48 64 128 256)
  file(GLOB icon_png "${icon_dir}/torvela-${size}.png" "${icon_dir}/icons/torvela-${size}.png")
  if(icon_png)
    list(GET icon_png 0 icon_png)
    install(FILES "${icon_png}" DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${TORVELA_APP_ID}.png)
  endif()
endforeach()

set(doc_dir ${TORVELA_DOC_INSTALL_DIR})
install(FILES LICENSE README.md DESTINATION ${doc_dir} OPTIONAL)
install(FILES data/README.md DESTINATION ${doc_dir} RENAME data-sources.md)
if(EXISTS "${PROJECT_SOURCE_DIR}/ui/images/README.md")
  install(FILES ui/images/README.md DESTINATION ${doc_dir} RENAME pictures-and-sounds.md)
endif()
if(EXISTS "${PROJECT_SOURCE_DIR}/ui/images/licenses")
  install(DIRECTORY ui/images/licenses/ DESTINATION ${doc_dir}/licenses)
endif()
# The gazetteer's sources: OpenStreetMap (ODbL), GeoNames (CC BY 4.0), MIT notices.
install(DIRECTORY data/licenses/ DESTINATION ${doc_dir}/licenses)
# The user guide with its screenshots, laid out as in the source tree, so
# that README.md's links and the guide's pictures work in the installed copy;
# the program opens the guide from here (ヘルプ → 使い方).
file(GLOB guide_files "${PROJECT_SOURCE_DIR}/docs/*.md" "${PROJECT_SOURCE_DIR}/docs/*.png")
if(guide_files)
  install(FILES ${guide_files} DESTINATION ${doc_dir}/docs)
endif()

# Only in the Debian package (CPack sets TORVELA_DEBIAN_PACKAGE for its
# install): the machine-readable copyright file, the changelog, the lintian
# overrides, and links to Debian's own GPL and LGPL texts in place of copies.
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
install(CODE "
  set(torvela_prefix \"${CPACK_PACKAGING_INSTALL_PREFIX}\")
  set(torvela_doc_dir \"${doc_dir}\")
  set(torvela_bin_dir \"${CMAKE_INSTALL_BINDIR}\")
  set(torvela_data_dir \"${CPACK_PACKAGING_INSTALL_PREFIX}/${TORVELA_DATA_INSTALL_DIR}\")
  set(torvela_common_licenses /usr/share/common-licenses)
  set(torvela_gen_dir \"${gen_dir}\")
  set(torvela_source_dir \"${PROJECT_SOURCE_DIR}\")
  set(torvela_strip \"${CMAKE_STRIP}\")")
install(SCRIPT packaging/DebianFiles.cmake)

# Debian package: runtime libraries come from dpkg-shlibdeps; the platform
# plugins, the time-zone data and the Japanese font are not linked, so they
# are named here.
set(CPACK_GENERATOR "DEB")
set(CPACK_CUSTOM_INSTALL_VARIABLES "TORVELA_DEBIAN_PACKAGE=ON")
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TORVELA_DEBIAN_RELEASE})
set(CPACK_PACKAGE_NAME "torvela")
set(CPACK_PACKAGE_VENDOR "Torvela Project")
set(CPACK_PACKAGE_CONTACT "${TORVELA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Four Pillars birth chart for births in Japan")
# One paragraph in lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION [[Torvela draws up a Four Pillars (BaZi) birth chart for a person born in
Japan. From the date and clock time of birth, the sex and the birthplace's
time difference from 135 degrees east, it finds true solar time and the
sun's apparent longitude, and shows the year, month, day and hour pillars,
the element in season, the great-luck sequence with its start age, the
present age and the weekday. The windows are in Japanese; the map of Japan
picks the birthplace. Charts can be kept in a list of people (an SQLite
file), opened again, printed, saved as PDF or PNG and copied as text. The
torvela-cli command prints the same chart as text or JSON, one at a time or
for a batch of births.]])
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "misc")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6sql6-sqlite, tzdata, fonts-ipafont-gothic | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-ipafont-gothic")
set(CPACK_STRIP_FILES ON)
include(CPack)
