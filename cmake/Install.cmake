# What `cmake --install` puts under the prefix: the programs, the shipped workspaces (each with
# the help page the window shows on F1), the help page on its own, a desktop entry, the icon, the
# manual pages, and the copyright and change log a Debian package carries.
include(GNUInstallDirs)
set(ZENDREL_DATA_DIR ${CMAKE_INSTALL_DATADIR}/zendrel)
set(ZENDREL_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/zendrel)
set(ZENDREL_HELP ${PROJECT_SOURCE_DIR}/data/help.html)

foreach(program zendrel zendrel-search zendrel-gateway)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# A program started from an install prefix finds these in <prefix>/share/zendrel/ and copies
# them into the user's data folder on first start.
file(GLOB demo_files ${PROJECT_SOURCE_DIR}/data/*.txt)
install(FILES ${demo_files} ${ZENDREL_HELP} DESTINATION ${ZENDREL_DATA_DIR}/demo)
if(EXISTS ${PROJECT_SOURCE_DIR}/data/internet)
  file(GLOB internet_files LIST_DIRECTORIES false ${PROJECT_SOURCE_DIR}/data/internet/*)
  if(NOT EXISTS ${PROJECT_SOURCE_DIR}/data/internet/help.html)
    list(APPEND internet_files ${ZENDREL_HELP})
  endif()
  install(FILES ${internet_files} DESTINATION ${ZENDREL_DATA_DIR}/internet)
endif()

install(FILES ${ZENDREL_HELP} DESTINATION ${ZENDREL_DOC_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/zendrel.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/zendrel.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Manual pages and the change log are installed compressed, without a time stamp, so that two
# builds of the same sources give the same files.
set(compressed)
function(zendrel_gzip source target)
  add_custom_command(OUTPUT ${target}
    COMMAND gzip -9 -n -c ${source} > ${target}
    DEPENDS ${source} VERBATIM)
  set(compressed ${compressed} ${target} PARENT_SCOPE)
endfunction()
file(GLOB manual_pages ${PROJECT_SOURCE_DIR}/packaging/man/*.1)
foreach(page ${manual_pages})
  get_filename_component(name ${page} NAME)
  zendrel_gzip(${page} ${PROJECT_BINARY_DIR}/man/${name}.gz)
  install(FILES ${PROJECT_BINARY_DIR}/man/${name}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
zendrel_gzip(${PROJECT_SOURCE_DIR}/packaging/changelog ${PROJECT_BINARY_DIR}/changelog.gz)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/man)
add_custom_target(compressed_docs ALL DEPENDS ${compressed})
install(FILES ${PROJECT_BINARY_DIR}/changelog.gz ${PROJECT_SOURCE_DIR}/packaging/copyright
        DESTINATION ${ZENDREL_DOC_DIR})
