# The version is the Debian package's, as its own version file states it.
include(/usr/share/cmake/nlohmann_json/nlohmann_jsonConfigVersion.cmake OPTIONAL
        RESULT_VARIABLE _pilfern_json_version_file)
if(NOT _pilfern_json_version_file)
    set(PACKAGE_VERSION_UNSUITABLE TRUE)
endif()
