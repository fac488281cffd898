# The Debian package (cpack -G DEB from the build folder): stripped binaries, dependencies from dpkg-shlibdeps,
# the copyright file, the changelog and manual pages (kestrun-cli's made by help2man from its --help).
set(KESTRUN_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/kestrun)
set(KESTRUN_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(KESTRUN_MAN_DIR ${PROJECT_BINARY_DIR}/man)
find_program(GZIP_PROGRAM gzip REQUIRED)
find_program(HELP2MAN_PROGRAM help2man)

# Compressed as Debian wants them: gzip -9n (no name or time stamp, so the bytes do not vary).
set(KESTRUN_PACKAGING_OUTPUTS ${KESTRUN_MAN_DIR}/changelog.gz)
add_custom_command(OUTPUT ${KESTRUN_MAN_DIR}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KESTRUN_MAN_DIR}
  COMMAND ${GZIP_PROGRAM} -9n -c ${KESTRUN_PACKAGING_DIR}/changelog > ${KESTRUN_MAN_DIR}/changelog.gz
  DEPENDS ${KESTRUN_PACKAGING_DIR}/changelog VERBATIM)
foreach(page kestrun kestrun-demo)
  add_custom_command(OUTPUT ${KESTRUN_MAN_DIR}/${page}.1.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KESTRUN_MAN_DIR}
    COMMAND ${GZIP_PROGRAM} -9n -c ${KESTRUN_PACKAGING_DIR}/${page}.1 > ${KESTRUN_MAN_DIR}/${page}.1.gz
    DEPENDS ${KESTRUN_PACKAGING_DIR}/${page}.1 VERBATIM)
  list(APPEND KESTRUN_PACKAGING_OUTPUTS ${KESTRUN_MAN_DIR}/${page}.1.gz)
endforeach()
if(HELP2MAN_PROGRAM AND TARGET kestrun-cli)
  add_custom_command(OUTPUT ${KESTRUN_MAN_DIR}/kestrun-cli.1.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KESTRUN_MAN_DIR}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${HELP2MAN_PROGRAM} --no-info
            --name "scene files, setup sheets and tuning of the Arvon-6 from the command line"
            --output ${KESTRUN_MAN_DIR}/kestrun-cli.1 $<TARGET_FILE:kestrun-cli>
    COMMAND ${GZIP_PROGRAM} -9nf ${KESTRUN_MAN_DIR}/kestrun-cli.1
    DEPENDS kestrun-cli VERBATIM)
  list(APPEND KESTRUN_PACKAGING_OUTPUTS ${KESTRUN_MAN_DIR}/kestrun-cli.1.gz)
  install(FILES ${KESTRUN_MAN_DIR}/kestrun-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "help2man not found: kestrun-cli gets no manual page")
endif()
add_custom_target(kestrun_packaging_files ALL DEPENDS ${KESTRUN_PACKAGING_OUTPUTS})
install(FILES ${KESTRUN_MAN_DIR}/kestrun.1.gz ${KESTRUN_MAN_DIR}/kestrun-demo.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${KESTRUN_PACKAGING_DIR}/copyright ${KESTRUN_MAN_DIR}/changelog.gz DESTINATION ${KESTRUN_DOC_DIR})

set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "kestrun")
set(CPACK_PACKAGE_CONTACT "Kestrun developers <kestrun@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Tuning application for the Arvon-6 car-audio DSP processor")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Kestrun finds an Arvon-6 six-output car-audio processor on the USB bus,\n"
    "reads its parameters and edits the output volumes, delays, polarity and\n"
    "mute, the crossovers and a 31-band equaliser of each output, the scenes\n"
    "stored in the processor and its firmware. It imports measurements, fits\n"
    "the equaliser to a target curve, sets the delays from speaker distances\n"
    "and prints setup sheets.\n"
    "\n"
    "The package holds the window (kestrun), the window with a simulated\n"
    "processor (kestrun-demo), the command-line tool for scene files\n"
    "(kestrun-cli) and the udev rule that gives the logged-in user access to\n"
    "the processor.")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "/usr")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION "sound")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not linked, so not found by dpkg-shlibdeps: the CJK font of the Chinese captions, Qt's own translations.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qttranslations5-l10n")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
include(CPack)
