# Imported targets for the third-party libraries: the cross-built prefix from
# scripts/build-deps.sh, zlib from Debian's mingw package and stb_image's header.
set(_deps ${CALVERIN_DEPS_PREFIX})

add_library(deps_zlib STATIC IMPORTED GLOBAL)
set_target_properties(deps_zlib PROPERTIES IMPORTED_LOCATION /usr/${MINGW_TRIPLE}/lib/libz.a)

add_library(deps_openssl INTERFACE)
target_link_libraries(deps_openssl INTERFACE ${_deps}/lib/libssl.a ${_deps}/lib/libcrypto.a ws2_32 crypt32 bcrypt)

add_library(deps_curl INTERFACE)
target_include_directories(deps_curl INTERFACE ${_deps}/include)
target_link_libraries(deps_curl INTERFACE ${_deps}/lib/libcurl.a deps_openssl deps_zlib ws2_32 crypt32 bcrypt)

add_library(deps_jsoncpp INTERFACE)
target_include_directories(deps_jsoncpp INTERFACE ${_deps}/include)
target_link_libraries(deps_jsoncpp INTERFACE ${_deps}/lib/libjsoncpp.a)

# Imported as a library of its own so that the linker sees zlib after it.
add_library(deps_minizip STATIC IMPORTED GLOBAL)
set_target_properties(deps_minizip PROPERTIES IMPORTED_LOCATION ${_deps}/lib/libminizip.a
  INTERFACE_INCLUDE_DIRECTORIES ${_deps}/include/minizip INTERFACE_LINK_LIBRARIES deps_zlib)

add_library(deps_stb INTERFACE)
target_include_directories(deps_stb INTERFACE /usr/include/stb)
