#pragma once
// The one place where HLSL programs become material types. Programs are compiled once per
// kind, file, entry function and macro set, and kept in the compiled-shader cache on disk;
// material types are created once per program pair, callback, base material, user data and
// macro set. Changed shader files are recompiled and their materials updated in place.
//
// Error texts: an operation given an error text writes its failure there and logs nothing;
// given none, it logs the failure at ERROR.
#include <irrlicht.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "effects/defs/effect_def.h"
#include "engine/hlsl/shader_programming.h"

namespace gv {

class ShaderCache;

class IGvGPUProgrammingServices {
 public:
  virtual ~IGvGPUProgrammingServices() = default;

  // Mode bits: 1 read cached programs, 2 check they are not older than their sources,
  // 4 write newly compiled programs. An empty directory disables the cache.
  virtual void setCacheDirectory(const std::string& directory, s32 mode) = 0;

  // Material type id, or -1.
  virtual s32 addShaderMaterialFromFiles(const char* vertexFile, const char* vertexEntry,
                                         irr::video::E_VERTEX_SHADER_TYPE vertexTarget,
                                         const char* pixelFile, const char* pixelEntry,
                                         irr::video::E_PIXEL_SHADER_TYPE pixelTarget,
                                         irr::video::IShaderConstantSetCallBack* callback,
                                         irr::video::E_MATERIAL_TYPE baseMaterial, s32 userData,
                                         const CGvMacro* macros, std::string* errorText) = 0;

  // Recompiles every program that includes one of `changedFiles` ('/' separators) and
  // updates the materials built from them; `materialTypes` receives those updated. Failures
  // are collected into one text. Always true.
  virtual bool recompileShaders(const std::vector<std::string>& changedFiles,
                                std::vector<s32>& materialTypes, std::string* errorText) = 0;

  // Where a constant or sampler of a material's programs lives. False when the program does
  // not have it; true with register or unit -1 when the driver keeps no constant tables.
  virtual bool getPixelShaderConstant(s32 materialType, const char* name, s32& firstRegister,
                                      s32& registerCount) = 0;
  virtual bool getVertexShaderConstant(s32 materialType, const char* name, s32& firstRegister,
                                       s32& registerCount) = 0;
  virtual bool getPixelShaderSampler(s32 materialType, const char* name, s32& unit) = 0;
  virtual bool getVertexShaderSampler(s32 materialType, const char* name, s32& unit) = 0;

  virtual bool printConstants(s32 materialType) = 0;

  // As addShaderMaterialFromFiles without the material table; also gives the Ids of the two
  // compiled programs (-1 when none).
  virtual s32 createShaderMaterial(const char* vertexFile, const char* vertexEntry,
                                   irr::video::E_VERTEX_SHADER_TYPE vertexTarget,
                                   const char* pixelFile, const char* pixelEntry,
                                   irr::video::E_PIXEL_SHADER_TYPE pixelTarget,
                                   irr::video::IShaderConstantSetCallBack* callback,
                                   irr::video::E_MATERIAL_TYPE baseMaterial, s32 userData,
                                   const CGvMacro* macros, std::string* errorText,
                                   s32& vertexId, s32& pixelId) = 0;
};

// One compiled program.
struct SShaderCompiledEntry {
  s32 Id = 0;
  bool IsVertex = false;
  std::string File;
  std::string Entry;
  std::vector<SShaderMacro> Macros;  // sorted
  s32 Target = 0;
  std::vector<std::string> Includes;  // the source and its includes, '/' separators, sorted
  engine::ShaderCode Code;
};

// One material type made from two programs.
struct SShaderMaterialTypeEntry {
  std::string VertexFile, VertexEntry, PixelFile, PixelEntry;
  irr::video::IShaderConstantSetCallBack* Callback = nullptr;
  s32 BaseMaterial = 0;
  s32 UserData = 0;
  std::vector<SShaderMacro> Macros;  // sorted
  s32 VertexShaderId = -1;
  s32 PixelShaderId = -1;
  s32 MaterialType = -1;
};

class CGvGPUProgrammingServices final : public IGvGPUProgrammingServices {
 public:
  // `programming` stands in for the driver's additions (tests); by default they come from
  // the device's video driver.
  explicit CGvGPUProgrammingServices(
      irr::IrrlichtDevice* device,
      std::unique_ptr<engine::IShaderProgramming> programming = nullptr);
  ~CGvGPUProgrammingServices() override;

  void setCacheDirectory(const std::string& directory, s32 mode) override;
  s32 addShaderMaterialFromFiles(const char* vertexFile, const char* vertexEntry,
                                 irr::video::E_VERTEX_SHADER_TYPE vertexTarget,
                                 const char* pixelFile, const char* pixelEntry,
                                 irr::video::E_PIXEL_SHADER_TYPE pixelTarget,
                                 irr::video::IShaderConstantSetCallBack* callback,
                                 irr::video::E_MATERIAL_TYPE baseMaterial, s32 userData,
                                 const CGvMacro* macros, std::string* errorText) override;
  bool recompileShaders(const std::vector<std::string>& changedFiles,
                        std::vector<s32>& materialTypes, std::string* errorText) override;
  bool getPixelShaderConstant(s32 materialType, const char* name, s32& firstRegister,
                              s32& registerCount) override;
  bool getVertexShaderConstant(s32 materialType, const char* name, s32& firstRegister,
                               s32& registerCount) override;
  bool getPixelShaderSampler(s32 materialType, const char* name, s32& unit) override;
  bool getVertexShaderSampler(s32 materialType, const char* name, s32& unit) override;
  bool printConstants(s32 materialType) override;
  s32 createShaderMaterial(const char* vertexFile, const char* vertexEntry,
                           irr::video::E_VERTEX_SHADER_TYPE vertexTarget, const char* pixelFile,
                           const char* pixelEntry, irr::video::E_PIXEL_SHADER_TYPE pixelTarget,
                           irr::video::IShaderConstantSetCallBack* callback,
                           irr::video::E_MATERIAL_TYPE baseMaterial, s32 userData,
                           const CGvMacro* macros, std::string* errorText, s32& vertexId,
                           s32& pixelId) override;

  // The program's code, compiled or read from the cache when needed; null on failure.
  const engine::ShaderCode* getCompiledShader(const char* file, const char* entry,
                                              bool isVertex, s32 target,
                                              const CGvMacro* macros, std::string* errorText,
                                              s32& id);

  const std::vector<std::unique_ptr<SShaderCompiledEntry>>& compiledEntries() const {
    return compiled_;
  }

 private:
  bool compileShader(SShaderCompiledEntry& entry, std::string* errorText);
  bool updateMaterial(s32 materialType, const engine::ShaderCode* vertexCode,
                      const engine::ShaderCode* pixelCode, const std::string& name,
                      std::string* errorText);
  bool constantTables(s32 materialType);
  bool lookUpConstant(bool isVertex, s32 materialType, const char* name, s32& firstRegister,
                      s32& registerCount);
  bool lookUpSampler(bool isVertex, s32 materialType, const char* name, s32& unit);
  const SShaderCompiledEntry* entryWithId(s32 id) const;
  void store(std::unique_ptr<SShaderCompiledEntry> entry, s32& id);

  irr::IrrlichtDevice* device_;
  std::unique_ptr<engine::IShaderProgramming> programming_;
  std::unique_ptr<ShaderCache> cache_;
  std::vector<std::unique_ptr<SShaderCompiledEntry>> compiled_;       // sorted by key
  std::vector<std::unique_ptr<SShaderMaterialTypeEntry>> materials_;  // sorted by key
  s32 lastId_ = 0;
  // The constant tables of the material type asked for last.
  s32 tablesMaterial_ = -1;
  engine::SShaderConstantTable vertexTable_, pixelTable_;
};

// The macro list's pairs sorted by Name, then Definition; a null Definition reads as "".
std::vector<SShaderMacro> sortedShaderMacros(const CGvMacro* macros);

}  // namespace gv
