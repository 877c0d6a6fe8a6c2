# SPDX-License-Identifier: GPL-3.0-or-later
# Run by CPack on the staged tree of the package, before it is packed: the files that the
# install rules put into etc/ under the prefix (/usr/etc) belong into /etc.
set(staged_prefix "${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
if(NOT CPACK_PACKAGING_INSTALL_PREFIX MATCHES "^/?$" AND EXISTS "${staged_prefix}/etc")
    file(COPY "${staged_prefix}/etc" DESTINATION "${CPACK_TEMPORARY_DIRECTORY}")
    file(REMOVE_RECURSE "${staged_prefix}/etc")
endif()
