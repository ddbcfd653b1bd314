# `cpack -G DEB` in a build folder makes zendrel_<version>_<arch>.deb, a native package (we are
# upstream). The libraries the programs link are found by dpkg-shlibdeps; the programs are
# stripped.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zendrel)
set(CPACK_PACKAGE_VENDOR "Zendrel maintainers")
set(CPACK_PACKAGE_CONTACT "Zendrel maintainers <maintainers@zendrel.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The internet workspace reaches registries over HTTPS, whose certificates are checked against
# the system's authorities; no library names that file set, so dpkg-shlibdeps cannot find it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ca-certificates")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "find domain names that are still free
Zendrel combines keywords into candidate domain names, looks every name up
in the chosen zones (over RDAP, port 43 or web WHOIS gateways, many at once,
within time limits and the registries' published rates) and shows for each
whether it is available, taken or on hold, with registrar, dates and name
servers. Searches can be stopped, resumed and saved.
.
The package holds the window program, zendrel-search for scripts, a local
demonstration gateway and two workspaces: a demonstration and one that asks
the registries themselves.")
include(CPack)
