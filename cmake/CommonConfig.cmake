# Build hygiene in one place: every target of the project links gpsdesk_options.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)
if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
  set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "Build type" FORCE)
endif()

add_library(gpsdesk_options INTERFACE)
target_compile_features(gpsdesk_options INTERFACE cxx_std_20)
target_compile_options(gpsdesk_options INTERFACE -Wall -Wextra)
target_compile_definitions(gpsdesk_options INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CONTEXTLESS_CONNECT QT_NO_KEYWORDS)

if(GPSDESK_SANITIZE AND GPSDESK_TSAN)
  message(FATAL_ERROR "GPSDESK_SANITIZE and GPSDESK_TSAN cannot be combined")
endif()
if(GPSDESK_SANITIZE)
  target_compile_options(gpsdesk_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(gpsdesk_options INTERFACE -fsanitize=address,undefined)
endif()
if(GPSDESK_TSAN)
  target_compile_options(gpsdesk_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(gpsdesk_options INTERFACE -fsanitize=thread)
endif()
if(GPSDESK_FUZZ)
  # Coverage for the fuzzers over the whole core, with the memory checkers on.
  target_compile_options(gpsdesk_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(gpsdesk_options INTERFACE -fsanitize=address,undefined)
endif()
