# Installation layout and the Debian package.
set(TORVELA_APP_ID "invalid.torvela.Torvela")

if(TARGET torvela)
  install(TARGETS torvela RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET torvela-cli)
  install(TARGETS torvela-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# The programs look for their data beside themselves, then in <prefix>/share/torvela.
install(FILES ${TORVELA_DATA_FILES} DESTINATION ${CMAKE_INSTALL_DATADIR}/torvela)

install(FILES packaging/${TORVELA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/${TORVELA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(icon_dir "${PROJECT_SOURCE_DIR}/ui/images")
if(EXISTS "${icon_dir}/torvela.svg")
  install(FILES "${icon_dir}/torvela.svg" DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
          RENAME ${TORVELA_APP_ID}.svg)
endif()
foreach(size 16 24 32 48 64 128 256)
  file(GLOB icon_png "${icon_dir}/torvela-${size}.png" "${icon_dir}/icons/torvela-${size}.png")
  if(icon_png)
    list(GET icon_png 0 icon_png)
    install(FILES "${icon_png}" DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${TORVELA_APP_ID}.png)
  endif()
endforeach()

set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/torvela)
install(FILES LICENSE README.md DESTINATION ${doc_dir} OPTIONAL)
install(FILES data/README.md DESTINATION ${doc_dir} RENAME data-sources.md)
if(EXISTS "${PROJECT_SOURCE_DIR}/ui/images/README.md")
  install(FILES ui/images/README.md DESTINATION ${doc_dir} RENAME pictures-and-sounds.md)
endif()
if(EXISTS "${PROJECT_SOURCE_DIR}/ui/images/licenses")
  install(DIRECTORY ui/images/licenses/ DESTINATION ${doc_dir}/licenses)
endif()
# The user guide with its screenshots, laid out as in the source tree, so
# that README.md's links and the guide's pictures work in the installed copy;
# the program opens the guide from here (ヘルプ → 使い方).
file(GLOB guide_files "${PROJECT_SOURCE_DIR}/docs/*.md" "${PROJECT_SOURCE_DIR}/docs/*.png")
if(guide_files)
  install(FILES ${guide_files} DESTINATION ${doc_dir}/docs)
endif()

# Debian package: runtime libraries come from dpkg-shlibdeps; the platform
# plugins and the Japanese font are not linked, so they are named here.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "torvela")
set(CPACK_PACKAGE_VENDOR "Torvela Project")
set(CPACK_PACKAGE_CONTACT "Torvela Project <torvela@torvela.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Four Pillars birth chart for births in Japan")
set(CPACK_PACKAGE_DESCRIPTION "Torvela draws up a Four Pillars (BaZi) birth chart for a person born in Japan: true solar time, the sun's apparent longitude, the four pillars, the element in season and the great-luck sequence. Includes the torvela-cli command-line front end.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "misc")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-ipafont-gothic | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, fonts-ipafont-gothic")
set(CPACK_STRIP_FILES ON)
include(CPack)
