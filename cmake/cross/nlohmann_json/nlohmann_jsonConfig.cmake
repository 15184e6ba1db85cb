# nlohmann-json for the cross build. The package is header-only, but its own config file
# would add the build machine's whole /usr/include to the compiler's search path, where
# glibc's headers would hide mingw's. This one offers the json headers alone, through a
# folder in the build tree that holds nothing but a link to them.
set(_pilfern_json_headers /usr/include/nlohmann)
set(_pilfern_json_include ${CMAKE_BINARY_DIR}/cross-include)
if(NOT EXISTS ${_pilfern_json_headers}/json.hpp)
    set(nlohmann_json_FOUND FALSE)
    set(nlohmann_json_NOT_FOUND_MESSAGE
        "${_pilfern_json_headers}/json.hpp is missing (Debian package nlohmann-json3-dev)")
    return()
endif()
file(MAKE_DIRECTORY ${_pilfern_json_include})
file(CREATE_LINK ${_pilfern_json_headers} ${_pilfern_json_include}/nlohmann SYMBOLIC)
if(NOT TARGET nlohmann_json::nlohmann_json)
    add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
    set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
        INTERFACE_INCLUDE_DIRECTORIES ${_pilfern_json_include})
endif()
