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

# HLSL compiler: glslang's HLSL front end to SPIR-V, SPIRV-Cross back to GLSL. Static archives
# linked in this order; HLSL needs the SPIR-V legalisation passes of SPIRV-Tools' optimiser.
# glslang's headers hide the HLSL API unless ENABLE_HLSL is defined.
set(GAVO_SHADER_LIBS spirv-cross-glsl spirv-cross-core glslang SPIRV MachineIndependent
  OSDependent HLSL OGLCompiler GenericCodeGen glslang-default-resource-limits SPIRV-Tools-opt
  SPIRV-Tools)
add_library(gavo_dep_shader_compiler INTERFACE)
foreach(lib IN LISTS GAVO_SHADER_LIBS)
  find_library(GAVO_LIB_${lib} ${lib} REQUIRED)
  target_link_libraries(gavo_dep_shader_compiler INTERFACE ${GAVO_LIB_${lib}})
endforeach()
find_path(GLSLANG_INCLUDE_DIR glslang/Public/ShaderLang.h REQUIRED)
find_path(SPIRV_CROSS_INCLUDE_DIR spirv_cross/spirv_glsl.hpp REQUIRED)
target_include_directories(gavo_dep_shader_compiler SYSTEM INTERFACE ${GLSLANG_INCLUDE_DIR}
  ${SPIRV_CROSS_INCLUDE_DIR})
target_compile_definitions(gavo_dep_shader_compiler INTERFACE ENABLE_HLSL)
target_link_libraries(gavo_dep_shader_compiler INTERFACE Threads::Threads)
add_library(Gavo::ShaderCompiler ALIAS gavo_dep_shader_compiler)

if(GAVO_TESTS)
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()
if(GAVO_BENCH AND NOT GAVO_SANITIZE)
  find_package(benchmark REQUIRED)
endif()
