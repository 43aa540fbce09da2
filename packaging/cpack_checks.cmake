# SPDX-License-Identifier: GPL-3.0-or-later
# Read by cpack before it builds the packages. The packages follow the Debian
# layout (/usr/games, /usr/share, /etc, /lib/systemd), which only the /usr
# prefix gives; a build for /usr/local would make packages that lintian and
# dpkg rightly refuse.
if(NOT CPACK_VELMORA_INSTALL_PREFIX STREQUAL "/usr")
  message(FATAL_ERROR "The Debian packages need a build configured with "
                      "-DCMAKE_INSTALL_PREFIX=/usr (this one has ${CPACK_VELMORA_INSTALL_PREFIX}); "
                      "scripts/check-packages shows the whole package build.")
endif()
