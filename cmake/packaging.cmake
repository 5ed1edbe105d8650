# The Debian package: `cpack -G DEB` in the build tree packs what `cmake --install` installs under /usr,
# with the dependencies read off the binary's shared libraries (dpkg-shlibdeps).
set(CPACK_PACKAGE_NAME lumivard)
set(CPACK_PACKAGE_VENDOR "The Lumivard developers")
set(CPACK_PACKAGE_CONTACT "The Lumivard developers <lumivard@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "design tool for arrays of flat X-ray analyser crystals")
set(CPACK_PACKAGE_DESCRIPTION
    "Lumivard lays out an array of flat analyser crystals that splits a broadband
X-ray beam into neighbouring energy bands, by Bragg's law. It traces the
incident and reflected beams, crosses the reflected centre beams into a focus
and an image point, and shows the design in four zoomable plot windows.
Designs are saved as plain text files; a batch mode runs them without a
display, and the Python 3 module lumivard makes, changes and sweeps them
from scripts and notebooks.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The interface is Japanese by default: without a Japanese font it shows boxes. The Python module
# returns NumPy arrays.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-vlgothic | fonts-japanese-gothic, python3-numpy")
# The Python module loads only into the interpreter version it was built for; dpkg-shlibdeps adds
# the libraries to these.
if(TARGET lumivard_py)
    string(REPLACE "." ";" python_version "${LUMIVARD_PYTHON_VERSION}")
    list(GET python_version 0 python_major)
    list(GET python_version 1 python_minor)
    math(EXPR python_next "${python_minor} + 1")
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "python3 (>= ${python_major}.${python_minor}~), python3 (<< ${python_major}.${python_next})")
endif()

# Debian wants the changelog of a native package compressed, without a time stamp.
set(LUMIVARD_CHANGELOG_GZ ${PROJECT_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${LUMIVARD_CHANGELOG_GZ}
    COMMAND gzip -9 -n -c ${CMAKE_CURRENT_LIST_DIR}/changelog > ${LUMIVARD_CHANGELOG_GZ}
    DEPENDS ${CMAKE_CURRENT_LIST_DIR}/changelog VERBATIM)
add_custom_target(lumivard_changelog ALL DEPENDS ${LUMIVARD_CHANGELOG_GZ})
install(FILES ${LUMIVARD_CHANGELOG_GZ} DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The manual page, compressed the same way.
set(LUMIVARD_MAN_GZ ${PROJECT_BINARY_DIR}/lumivard.1.gz)
add_custom_command(OUTPUT ${LUMIVARD_MAN_GZ}
    COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/resources/lumivard.1 > ${LUMIVARD_MAN_GZ}
    DEPENDS ${PROJECT_SOURCE_DIR}/resources/lumivard.1 VERBATIM)
add_custom_target(lumivard_manual ALL DEPENDS ${LUMIVARD_MAN_GZ})
install(FILES ${LUMIVARD_MAN_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

include(CPack)
