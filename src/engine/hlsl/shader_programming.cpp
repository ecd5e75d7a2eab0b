#include "engine/hlsl/shader_programming.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glx.h>

#include <map>

#include "app/log/log.h"
#include "engine/hlsl/constant_buffer.h"

namespace gv::engine {
namespace {

using irr::s32;
using irr::video::E_MATERIAL_TYPE;
using irr::video::E_VERTEX_TYPE;
using irr::video::IMaterialRenderer;
using irr::video::IMaterialRendererServices;
using irr::video::IShaderConstantSetCallBack;
using irr::video::IVideoDriver;
using irr::video::SMaterial;

// Binding points of the two constant blocks; every draw binds its material's buffers there.
constexpr GLuint kVertexBlockBinding = 0;
constexpr GLuint kPixelBlockBinding = 1;

// Uniform buffer entry points beyond OpenGL 1.1, looked up on first use (with a context).
struct SUniformBufferFunctions {
  PFNGLGENBUFFERSPROC GenBuffers = nullptr;
  PFNGLDELETEBUFFERSPROC DeleteBuffers = nullptr;
  PFNGLBINDBUFFERPROC BindBuffer = nullptr;
  PFNGLBUFFERDATAPROC BufferData = nullptr;
  PFNGLBINDBUFFERBASEPROC BindBufferBase = nullptr;
  PFNGLGETUNIFORMBLOCKINDEXPROC GetUniformBlockIndex = nullptr;
  PFNGLUNIFORMBLOCKBINDINGPROC UniformBlockBinding = nullptr;
  PFNGLGETUNIFORMLOCATIONPROC GetUniformLocation = nullptr;
  PFNGLUNIFORM1IPROC Uniform1i = nullptr;

  bool complete() const {
    return GenBuffers && DeleteBuffers && BindBuffer && BufferData && BindBufferBase &&
           GetUniformBlockIndex && UniformBlockBinding && GetUniformLocation && Uniform1i;
  }
};

template <typename Function>
void load(Function& function, const char* name) {
  function = reinterpret_cast<Function>(
      glXGetProcAddress(reinterpret_cast<const GLubyte*>(name)));
}

const SUniformBufferFunctions& gl() {
  static const SUniformBufferFunctions functions = [] {
    SUniformBufferFunctions f;
    load(f.GenBuffers, "glGenBuffers");
    load(f.DeleteBuffers, "glDeleteBuffers");
    load(f.BindBuffer, "glBindBuffer");
    load(f.BufferData, "glBufferData");
    load(f.BindBufferBase, "glBindBufferBase");
    load(f.GetUniformBlockIndex, "glGetUniformBlockIndex");
    load(f.UniformBlockBinding, "glUniformBlockBinding");
    load(f.GetUniformLocation, "glGetUniformLocation");
    load(f.Uniform1i, "glUniform1i");
    return f;
  }();
  return functions;
}

// One program of a material: its GLSL text, where its constants and samplers live, the CPU
// copy of its constants and the uniform buffer they are uploaded to.
class ProgramStage {
 public:
  explicit ProgramStage(STranslatedShader translated)
      : glsl_(std::move(translated.Glsl)),
        table_(std::move(translated.Table)),
        constants_(table_) {}
  ~ProgramStage() {
    if (buffer_) gl().DeleteBuffers(1, &buffer_);
  }
  ProgramStage(const ProgramStage&) = delete;
  ProgramStage& operator=(const ProgramStage&) = delete;

  const std::string& glsl() const { return glsl_; }
  const SShaderConstantTable& table() const { return table_; }
  ShaderConstantBuffer& constants() { return constants_; }

  // Uploads the constants when they changed and binds the buffer for the next draw. Only the
  // generic uniform buffer binding changes, which Irrlicht does not use.
  void bind(GLuint bindingPoint) {
    if (table_.BufferSize == 0) return;
    if (!buffer_) gl().GenBuffers(1, &buffer_);
    if (constants_.takeChanged()) {
      gl().BindBuffer(GL_UNIFORM_BUFFER, buffer_);
      gl().BufferData(GL_UNIFORM_BUFFER, static_cast<GLsizeiptr>(constants_.bytes().size()),
                      constants_.bytes().data(), GL_DYNAMIC_DRAW);
    }
    gl().BindBufferBase(GL_UNIFORM_BUFFER, bindingPoint, buffer_);
  }

  // Points the program's block at `bindingPoint` and its samplers at their units.
  void configure(GLuint program, GLuint bindingPoint) const {
    if (!table_.BlockName.empty()) {
      const GLuint block = gl().GetUniformBlockIndex(program, table_.BlockName.c_str());
      if (block != GL_INVALID_INDEX) gl().UniformBlockBinding(program, block, bindingPoint);
    }
    for (const SShaderSamplerDesc& sampler : table_.Samplers) {
      const GLint location = gl().GetUniformLocation(program, sampler.GlslName.c_str());
      if (location >= 0) gl().Uniform1i(location, sampler.Unit);
    }
  }

 private:
  std::string glsl_;
  SShaderConstantTable table_;
  ShaderConstantBuffer constants_;
  GLuint buffer_ = 0;
};

class ShaderMaterial;

// Irrlicht's GLSL renderer calls this around each draw; it hands over to the material. The
// material outlives its use here but not necessarily the renderers that hold this adapter.
class ConstantAdapter final : public IShaderConstantSetCallBack {
 public:
  explicit ConstantAdapter(ShaderMaterial* material) : material_(material) {}
  void detach() { material_ = nullptr; }
  void OnSetMaterial(const SMaterial& material) override;
  void OnSetConstants(IMaterialRendererServices* services, s32 userData) override;

 private:
  ShaderMaterial* material_;
};

// The material type handed out: a stable id whose drawing is done by Irrlicht's GLSL renderer
// of the current programs (textures, the base material's states, the callbacks). Replacing the
// programs makes a new GLSL renderer and swaps it in; the old one stays in the driver, as
// material types are never removed.
class ShaderMaterial final : public IMaterialRenderer, public IMaterialRendererServices {
 public:
  ShaderMaterial(IVideoDriver* driver, IShaderConstantSetCallBack* callback,
                 E_MATERIAL_TYPE baseMaterial, s32 userData)
      : driver_(driver),
        callback_(callback),
        baseMaterial_(baseMaterial),
        userData_(userData),
        adapter_(new ConstantAdapter(this)) {
    if (callback_) callback_->grab();
  }
  ~ShaderMaterial() override {
    adapter_->detach();
    adapter_->drop();
    if (program_) program_->drop();
    if (callback_) callback_->drop();
  }

  // Links the two programs into a new GLSL renderer and makes them current; on failure
  // nothing changes.
  bool install(std::shared_ptr<ProgramStage> vertex, std::shared_ptr<ProgramStage> pixel) {
    std::string pixelGlsl = pixel->glsl();
    matchInterpolators(vertex->glsl(), pixelGlsl);
    const s32 id = driver_->getGPUProgrammingServices()->addHighLevelShaderMaterial(
        vertex->glsl().c_str(), "main", irr::video::EVST_VS_1_1, pixelGlsl.c_str(), "main",
        irr::video::EPST_PS_1_1, adapter_, baseMaterial_, userData_);
    if (id < 0) return false;
    IMaterialRenderer* program = driver_->getMaterialRenderer(static_cast<irr::u32>(id));
    program->grab();
    if (program_) program_->drop();
    program_ = program;
    vertex_ = std::move(vertex);
    pixel_ = std::move(pixel);
    // Irrlicht skips OnSetMaterial while the material stays the same: bind on the next draw.
    rebind_ = true;
    configurePending_ = true;
    return true;
  }

  const std::shared_ptr<ProgramStage>& vertex() const { return vertex_; }
  const std::shared_ptr<ProgramStage>& pixel() const { return pixel_; }

  // IMaterialRenderer
  void OnSetMaterial(const SMaterial& material, const SMaterial& lastMaterial,
                     bool resetAllRenderstates, IMaterialRendererServices* services) override {
    current_ = material;
    program_->OnSetMaterial(material, lastMaterial, resetAllRenderstates || rebind_, services);
    rebind_ = false;
  }
  bool OnRender(IMaterialRendererServices* services, E_VERTEX_TYPE vertexType) override {
    if (rebind_) {
      program_->OnSetMaterial(current_, current_, true, services);
      rebind_ = false;
    }
    return program_->OnRender(services, vertexType);
  }
  void OnUnsetMaterial() override { program_->OnUnsetMaterial(); }
  bool isTransparent() const override { return program_->isTransparent(); }
  s32 getRenderCapability() const override { return program_->getRenderCapability(); }

  // Called through the adapter.
  void forwardSetMaterial(const SMaterial& material) {
    if (callback_) callback_->OnSetMaterial(material);
  }
  void setConstants(IMaterialRendererServices* services, s32 userData) {
    services_ = services;
    configureCurrentProgram();
    if (callback_) callback_->OnSetConstants(this, userData);
    vertex_->bind(kVertexBlockBinding);
    pixel_->bind(kPixelBlockBinding);
  }

  // IMaterialRendererServices
  void setBasicRenderStates(const SMaterial& material, const SMaterial& lastMaterial,
                            bool resetAllRenderstates) override {
    if (services_) services_->setBasicRenderStates(material, lastMaterial, resetAllRenderstates);
  }
  bool setVertexShaderConstant(const irr::c8* name, const irr::f32* floats, int count) override {
    return vertex_->constants().set(name, floats, count);
  }
  bool setVertexShaderConstant(const irr::c8* name, const bool* bools, int count) override {
    return vertex_->constants().set(name, bools, count);
  }
  bool setVertexShaderConstant(const irr::c8* name, const s32* ints, int count) override {
    return vertex_->constants().set(name, ints, count);
  }
  void setVertexShaderConstant(const irr::f32* data, s32 startRegister, s32 count) override {
    vertex_->constants().setRegisters(data, startRegister, count);
  }
  bool setPixelShaderConstant(const irr::c8* name, const irr::f32* floats, int count) override {
    return pixel_->constants().set(name, floats, count);
  }
  bool setPixelShaderConstant(const irr::c8* name, const bool* bools, int count) override {
    return pixel_->constants().set(name, bools, count);
  }
  bool setPixelShaderConstant(const irr::c8* name, const s32* ints, int count) override {
    return pixel_->constants().set(name, ints, count);
  }
  void setPixelShaderConstant(const irr::f32* data, s32 startRegister, s32 count) override {
    pixel_->constants().setRegisters(data, startRegister, count);
  }
  IVideoDriver* getVideoDriver() override { return driver_; }

 private:
  // The first time the newly linked program is current, its blocks and samplers get their
  // places; Irrlicht does not tell its program's name, so it is read from the context once.
  void configureCurrentProgram() {
    if (!configurePending_) return;
    GLint current = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    if (current == 0) return;
    vertex_->configure(static_cast<GLuint>(current), kVertexBlockBinding);
    pixel_->configure(static_cast<GLuint>(current), kPixelBlockBinding);
    configurePending_ = false;
  }

  IVideoDriver* driver_;
  IShaderConstantSetCallBack* callback_;
  E_MATERIAL_TYPE baseMaterial_;
  s32 userData_;
  ConstantAdapter* adapter_;
  IMaterialRenderer* program_ = nullptr;
  std::shared_ptr<ProgramStage> vertex_, pixel_;
  SMaterial current_;
  bool rebind_ = false;
  bool configurePending_ = false;
  IMaterialRendererServices* services_ = nullptr;
};

void ConstantAdapter::OnSetMaterial(const SMaterial& material) {
  if (material_) material_->forwardSetMaterial(material);
}

void ConstantAdapter::OnSetConstants(IMaterialRendererServices* services, s32 userData) {
  if (material_) material_->setConstants(services, userData);
}

std::shared_ptr<ProgramStage> translatedStage(const ShaderCode& code, bool isVertex) {
  STranslatedShader translated;
  std::string errors;
  if (!translateToGLSL(code, isVertex, translated, &errors)) {
    gvLog(GVLOG_ERROR, "Could not create %s shader from tokens: %s",
          isVertex ? "vertex" : "pixel", errors.c_str());
    return nullptr;
  }
  return std::make_shared<ProgramStage>(std::move(translated));
}

class OpenGLShaderProgramming final : public IShaderProgramming {
 public:
  explicit OpenGLShaderProgramming(IVideoDriver* driver) : driver_(driver) {}
  ~OpenGLShaderProgramming() override {
    for (auto& [id, material] : materials_) material->drop();
  }

  bool compileHLSLVertexShader(const char* source, const char* entry,
                               irr::video::E_VERTEX_SHADER_TYPE target, const CGvMacro* macros,
                               IIncludeCallback* includes, ShaderCode& code,
                               std::string* errors, const char* sourceName) override {
    return engine::compileHLSLVertexShader(source, entry, target, macros, includes, code, errors,
                                           sourceName);
  }
  bool compileHLSLPixelShader(const char* source, const char* entry,
                              irr::video::E_PIXEL_SHADER_TYPE target, const CGvMacro* macros,
                              IIncludeCallback* includes, ShaderCode& code, std::string* errors,
                              const char* sourceName) override {
    return engine::compileHLSLPixelShader(source, entry, target, macros, includes, code, errors,
                                          sourceName);
  }

  s32 addHighLevelShaderMaterialFromTokens(const ShaderCode* vertexCode,
                                           const ShaderCode* pixelCode,
                                           const ShaderCode* geometryCode,
                                           irr::scene::E_PRIMITIVE_TYPE,
                                           irr::scene::E_PRIMITIVE_TYPE, irr::u32,
                                           IShaderConstantSetCallBack* callback,
                                           E_MATERIAL_TYPE baseMaterial, s32 userData) override {
    if (!usable(vertexCode, pixelCode, geometryCode)) return -1;
    std::shared_ptr<ProgramStage> vertex = translatedStage(*vertexCode, true);
    std::shared_ptr<ProgramStage> pixel = translatedStage(*pixelCode, false);
    if (!vertex || !pixel) return -1;
    auto* material = new ShaderMaterial(driver_, callback, baseMaterial, userData);
    const s32 id = material->install(vertex, pixel) ? driver_->addMaterialRenderer(material) : -1;
    if (id >= 0) {
      materials_[id] = material;  // keeps the creation reference; the driver holds its own
    } else {
      gvLog(GVLOG_ERROR, "Could not link the translated programs into a material");
      material->drop();
    }
    return id;
  }

  bool updateHighLevelShaderMaterialFromTokens(s32 materialType, const ShaderCode* vertexCode,
                                               const ShaderCode* pixelCode,
                                               const ShaderCode* geometryCode) override {
    ShaderMaterial* material = find(materialType);
    if (!material) {
      gvLog(GVLOG_ERROR, "Material type %d was not made from compiled programs", materialType);
      return false;
    }
    if (refusesGeometry(geometryCode)) return false;
    std::shared_ptr<ProgramStage> vertex =
        vertexCode ? translatedStage(*vertexCode, true) : material->vertex();
    std::shared_ptr<ProgramStage> pixel =
        pixelCode ? translatedStage(*pixelCode, false) : material->pixel();
    if (!vertex || !pixel) return false;
    if (!material->install(vertex, pixel)) {
      gvLog(GVLOG_ERROR, "Could not link the new programs of material type %d", materialType);
      return false;
    }
    return true;
  }

  bool getMaterialTypeConstantTables(s32 materialType, SShaderConstantTable& vertexTable,
                                     SShaderConstantTable& pixelTable) override {
    const ShaderMaterial* material = find(materialType);
    if (!material) return false;
    vertexTable = material->vertex()->table();
    pixelTable = material->pixel()->table();
    return true;
  }

 private:
  bool usable(const ShaderCode* vertexCode, const ShaderCode* pixelCode,
              const ShaderCode* geometryCode) const {
    if (!vertexCode || !pixelCode) {
      gvLog(GVLOG_ERROR, "A shader material needs both a vertex and a pixel program");
      return false;
    }
    if (refusesGeometry(geometryCode)) return false;
    if (!gl().complete()) {
      gvLog(GVLOG_ERROR, "Shader materials need OpenGL uniform buffers, which are missing");
      return false;
    }
    return true;
  }

  static bool refusesGeometry(const ShaderCode* geometryCode) {
    if (!geometryCode || geometryCode->empty()) return false;
    gvLog(GVLOG_ERROR, "Geometry programs are not supported by this driver");
    return true;
  }

  ShaderMaterial* find(s32 materialType) const {
    auto it = materials_.find(materialType);
    return it == materials_.end() ? nullptr : it->second;
  }

  IVideoDriver* driver_;
  std::map<s32, ShaderMaterial*> materials_;
};

// Drivers other than OpenGL (NULL, software) have no programmable pipeline to give.
class UnavailableShaderProgramming final : public IShaderProgramming {
 public:
  bool compileHLSLVertexShader(const char*, const char*, irr::video::E_VERTEX_SHADER_TYPE,
                               const CGvMacro*, IIncludeCallback*, ShaderCode&, std::string*,
                               const char*) override {
    return compileUnavailable();
  }
  bool compileHLSLPixelShader(const char*, const char*, irr::video::E_PIXEL_SHADER_TYPE,
                              const CGvMacro*, IIncludeCallback*, ShaderCode&, std::string*,
                              const char*) override {
    return compileUnavailable();
  }
  s32 addHighLevelShaderMaterialFromTokens(const ShaderCode*, const ShaderCode*,
                                           const ShaderCode*, irr::scene::E_PRIMITIVE_TYPE,
                                           irr::scene::E_PRIMITIVE_TYPE, irr::u32,
                                           IShaderConstantSetCallBack*, E_MATERIAL_TYPE,
                                           s32) override {
    materialsUnavailable();
    return -1;
  }
  bool updateHighLevelShaderMaterialFromTokens(s32, const ShaderCode*, const ShaderCode*,
                                               const ShaderCode*) override {
    materialsUnavailable();
    return false;
  }
  bool getMaterialTypeConstantTables(s32, SShaderConstantTable&,
                                     SShaderConstantTable&) override {
    gvLog(GVLOG_INFO, "material type contants tables not available (yet) in this driver, sorry");
    return false;
  }

 private:
  static bool compileUnavailable() {
    gvLog(GVLOG_INFO, "Compile vertex shader not available (yet) in this driver, sorry");
    return false;
  }
  static void materialsUnavailable() {
    gvLog(GVLOG_INFO, "compiled tokens shader materials not available (yet) in this driver, sorry");
  }
};

}  // namespace

std::unique_ptr<IShaderProgramming> createShaderProgramming(IVideoDriver* driver) {
  if (driver && driver->getDriverType() == irr::video::EDT_OPENGL)
    return std::make_unique<OpenGLShaderProgramming>(driver);
  return std::make_unique<UnavailableShaderProgramming>();
}

}  // namespace gv::engine
