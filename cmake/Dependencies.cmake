# Imported targets for the Debian packages Gavo builds on (scripts/setup.sh installs them).
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

# Irrlicht 1.8 has no pkg-config file; its OpenGL driver needs GL, X11 and XF86VidMode.
find_path(IRRLICHT_INCLUDE_DIR irrlicht.h PATH_SUFFIXES irrlicht REQUIRED)
find_library(IRRLICHT_LIBRARY Irrlicht REQUIRED)
find_package(OpenGL REQUIRED COMPONENTS OpenGL GLX)
find_package(X11 REQUIRED)
add_library(gavo_dep_irrlicht INTERFACE)
target_include_directories(gavo_dep_irrlicht SYSTEM INTERFACE ${IRRLICHT_INCLUDE_DIR})
target_link_libraries(gavo_dep_irrlicht INTERFACE ${IRRLICHT_LIBRARY} OpenGL::GL OpenGL::GLX
  ${X11_LIBRARIES} ${X11_Xxf86vm_LIB})
add_library(Gavo::Irrlicht ALIAS gavo_dep_irrlicht)

pkg_check_modules(SDL2 REQUIRED IMPORTED_TARGET sdl2)
add_library(Gavo::SDL2 ALIAS PkgConfig::SDL2)

pkg_check_modules(LIBZIP REQUIRED IMPORTED_TARGET libzip)
add_library(Gavo::Zip ALIAS PkgConfig::LIBZIP)

# Debian's lua5.2.pc reports 5.2.0 whatever the package version: require no minimum.
pkg_check_modules(LUA REQUIRED IMPORTED_TARGET lua5.2)
add_library(Gavo::Lua ALIAS PkgConfig::LUA)

# iniparser 4.1 has no pkg-config file: headers in iniparser/, one library.
find_path(INIPARSER_INCLUDE_DIR iniparser.h PATH_SUFFIXES iniparser REQUIRED)
find_library(INIPARSER_LIBRARY iniparser REQUIRED)
add_library(gavo_dep_iniparser INTERFACE)
target_include_directories(gavo_dep_iniparser SYSTEM INTERFACE ${INIPARSER_INCLUDE_DIR})
target_link_libraries(gavo_dep_iniparser INTERFACE ${INIPARSER_LIBRARY})
add_library(Gavo::IniParser ALIAS gavo_dep_iniparser)

pkg_check_modules(MPG123 REQUIRED IMPORTED_TARGET libmpg123)
add_library(Gavo::Mpg123 ALIAS PkgConfig::MPG123)

find_package(ZLIB REQUIRED)
add_library(Gavo::Zlib ALIAS ZLIB::ZLIB)

if(GAVO_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
if(GAVO_BENCH AND NOT GAVO_SANITIZE)
  find_package(benchmark REQUIRED)
endif()
