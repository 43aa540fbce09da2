# SPDX-License-Identifier: GPL-3.0-or-later
# The key that update installers are signed with. The program starts a
# downloaded installer only when its signature verifies against the public
# key built into it.
#
# VELMORA_UPDATE_KEY: the release public key (64 hexadecimal digits); the
# installer target then signs with VELMORA_UPDATE_SECRET_KEY (a key file
# written by "velmora-sign keygen"). Without it, configuring makes a
# development key pair in <build>/update-key/ once and builds its public half
# in, so every build accepts the installers it makes. Secret keys stay out of
# the source tree.
set(VELMORA_UPDATE_KEY "" CACHE STRING
    "Public Ed25519 key (64 hex digits) update installers must be signed with; empty: a development key")
set(VELMORA_UPDATE_SECRET_KEY "" CACHE FILEPATH
    "Secret key file the installer target signs with (needed with VELMORA_UPDATE_KEY)")
option(VELMORA_SELF_UPDATE "The program checks for, downloads and installs updates itself" ON)

find_package(PkgConfig REQUIRED)
pkg_check_modules(SODIUM REQUIRED IMPORTED_TARGET libsodium)

if(VELMORA_UPDATE_KEY STREQUAL "")
  set(_key_folder ${CMAKE_BINARY_DIR}/update-key)
  if(NOT EXISTS ${_key_folder}/velmora-update.pub OR NOT EXISTS ${_key_folder}/velmora-update.key)
    try_run(_key_run _key_compile ${CMAKE_BINARY_DIR}/update-key-maker
      SOURCES ${CMAKE_CURRENT_LIST_DIR}/make_update_key.c
      CMAKE_FLAGS "-DINCLUDE_DIRECTORIES=${SODIUM_INCLUDE_DIRS}"
      LINK_LIBRARIES ${SODIUM_LINK_LIBRARIES}
      COMPILE_OUTPUT_VARIABLE _key_compile_output
      ARGS ${_key_folder})
    if(NOT _key_compile OR NOT _key_run EQUAL 0)
      message(FATAL_ERROR "Cannot make the development update key in ${_key_folder}:\n${_key_compile_output}")
    endif()
    message(STATUS "Made a development update key pair in ${_key_folder}")
  endif()
  file(STRINGS ${_key_folder}/velmora-update.pub _key_line LIMIT_COUNT 1)
  set(VELMORA_UPDATE_PUBLIC_KEY "${_key_line}")
  set(VELMORA_UPDATE_SIGNING_KEY ${_key_folder}/velmora-update.key)
else()
  set(VELMORA_UPDATE_PUBLIC_KEY "${VELMORA_UPDATE_KEY}")
  set(VELMORA_UPDATE_SIGNING_KEY "${VELMORA_UPDATE_SECRET_KEY}")
endif()
if(NOT VELMORA_UPDATE_PUBLIC_KEY MATCHES "^[0-9A-Fa-f]+$")
  message(FATAL_ERROR "VELMORA_UPDATE_KEY must be 64 hexadecimal digits")
endif()
string(LENGTH "${VELMORA_UPDATE_PUBLIC_KEY}" _key_length)
if(NOT _key_length EQUAL 64)
  message(FATAL_ERROR "VELMORA_UPDATE_KEY must be 64 hexadecimal digits")
endif()
