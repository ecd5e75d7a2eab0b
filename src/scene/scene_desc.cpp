#include "scene/scene_desc.h"

#include <algorithm>
#include <cstring>
#include <string>

const char* const kGvSurfaceParamNames[kGvSurfaceParamCount] = {
    "BaseColor",          "Luminosity",          "Diffuse",
    "Specularity",        "Reflectivity",        "Transparency",
    "Translucency",       "IOR",                 "Bump",
    "Glossiness",         "SpecialBuffer1",      "SpecialBuffer2",
    "SpecialBuffer3",     "SpecialBuffer4",      "DiffuseSharpness",
    "BumpDropoff",        "SmoothingAngle",      "ReflectionSeamAngle",
    "RefractionSeamAngle", "ReflectionBlurring", "RefractionBlurring",
    "ColorFilter",        "ColorHighlights",     "AdditiveTransparency",
    "AlphaValue",         "GlowValue",           "LineColor",
    "LineSize",           "AlphaOptions",        "ReflectionOptions",
    "RefractionOptions",  "Sidedness",           "ExcludeFromVStack",
    "Glow",               "RenderOutlines",      "ReflectionImage",
    "RefractionImage",    "VertexColoring",      "VertexNormal",
};

namespace {

std::string sceneError;

// Key readers. A key of the wrong shape reads like an absent one.
std::int32_t integerAt(const GFNode* value, std::uint32_t index, std::int32_t fallback) {
  if (!value || value->kind != GF_VALUE || (value->type != GF_I4 && value->type != GF_U4) ||
      index >= value->count)
    return fallback;
  return value->value().ints()[index];
}

std::int32_t integerOf(const GFNode* value, std::int32_t fallback = 0) {
  return integerAt(value, 0, fallback);
}

std::int32_t integer(const GFNode* node, const char* key, std::int32_t fallback = 0) {
  return integerOf(GF_Find(node, key), fallback);
}

float floatKey(const GFNode* node, const char* key) { return GF_FP_Get(GF_Find(node, key), 0); }

const char* textOf(const GFNode* value) {
  return value && value->kind == GF_VALUE && value->type == GF_STR ? value->value().text() : nullptr;
}

const char* text(const GFNode* node, const char* key) { return textOf(GF_Find(node, key)); }

GFVec3 vector(const GFNode* node, const char* key) { return GF_FP3_Get(GF_Find(node, key), 0); }

const GFNode* childNode(const GFNode* node, const char* key) {
  const GFNode* child = GF_Find(node, key);
  return child && child->kind == GF_NODE ? child : nullptr;
}

// Children of a list node; none when the node is absent or not a node.
struct Children {
  const GFNode* list;
  const GFNode* const* begin() const { return list ? list->children : nullptr; }
  const GFNode* const* end() const { return list ? list->children + list->count : nullptr; }
  std::uint32_t size() const { return list ? list->count : 0; }
};
Children children(const GFNode* list) {
  return Children{list && list->kind == GF_NODE ? list : nullptr};
}

bool sameText(const char* a, const char* b) { return a && b && std::strcmp(a, b) == 0; }

// Tables of keys that are kept as references into the tree.
template <typename Desc>
struct RefKey {
  const char* name;
  const GFNode* Desc::*field;
};

template <typename Desc, std::size_t N>
void readRefs(const GFNode* node, Desc& desc, const RefKey<Desc> (&keys)[N]) {
  for (const RefKey<Desc>& key : keys) desc.*key.field = GF_Find(node, key.name);
}

EGvParamKind valueKind(const GFNode* value) {
  if (!value) return EGVPK_NONE;
  if (value->kind == GF_ARRAY) return EGVPK_FLOAT3;
  if (value->kind != GF_VALUE) return EGVPK_NONE;
  switch (value->type) {
    case GF_FP: return value->count == 3 ? EGVPK_FLOAT3 : EGVPK_FLOAT;
    case GF_FP_C: return EGVPK_FLOAT;
    case GF_I4:
    case GF_U4: return EGVPK_INTEGER;
    default: return EGVPK_TEXT;
  }
}

bool buildEffect(const GFNode* node, SGvEffectDesc& effect) {
  if (!node || node->kind != GF_NODE) return false;
  effect.node = node;
  effect.filename = text(node, "filename");
  effect.cflags = text(node, "cflags");
  Children params = children(GF_Find(node, "Parameters"));
  effect.params.reserve(params.size());
  for (const GFNode* param : params) {
    SGvEffectParamDesc desc;
    desc.name = param->name;
    desc.value = GF_Find(param, "value");
    desc.kind = valueKind(desc.value);
    desc.imgColorSpace = integer(param, "img_colorspace");
    desc.imgReference = integer(param, "img_reference");
    effect.params.push_back(desc);
  }
  return true;
}

// The Effect of a node's Shader (surfaces, emitters) or of the node itself (post passes).
bool buildEffectOf(const GFNode* node, SGvEffectDesc& effect) {
  return buildEffect(GF_Find(node, "Effect"), effect);
}

void readSceneInfo(SGvSceneDesc& desc) {
  const GFNode* info = GF_Find(desc.scene, "SceneInfo");
  desc.frameStart = integer(info, "frameStart");
  desc.frameEnd = integer(info, "frameEnd");
  desc.frameStep = integer(info, "frameStep");
  desc.framesPerSecond = floatKey(info, "framesPerSecond");
  desc.loadAudio = text(info, "loadAudio");
  desc.audioStartTime = floatKey(info, "audioStartTime");
  desc.renderCamera = GF_Find(info, "renderCamera");
}

void readLists(SGvSceneDesc& desc) {
  static const RefKey<SGvSceneDesc> lists[] = {
      {"Cameras", &SGvSceneDesc::camerasNode},
      {"Lights", &SGvSceneDesc::lightsNode},
      {"Objects", &SGvSceneDesc::objectsNode},
      {"SceneObjects", &SGvSceneDesc::sceneObjectsNode},
      {"FxEmitters", &SGvSceneDesc::fxEmittersNode},
      {"CubeMaps", &SGvSceneDesc::cubeMapsNode},
      {"GavoPostProcs", &SGvSceneDesc::postProcsNode},
      {"GavoRenderCommands", &SGvSceneDesc::renderCommandsNode},
  };
  readRefs(desc.scene, desc, lists);
}

void readGlobals(SGvSceneDesc& desc) {
  const GFNode* scene = desc.scene;
  desc.backdropZenith = vector(GF_Find(scene, "BackdropInfo"), "zenith");
  desc.ambient = GF_Find(GF_Find(scene, "LightInfo"), "ambient");
  const GFNode* imageProcessing = GF_Find(scene, "ImageProcessing");
  desc.glowEffect = integer(imageProcessing, "glowEffect");
  desc.glowIntensity = GF_Find(imageProcessing, "glowIntensity");
  desc.glowRadius = GF_Find(imageProcessing, "glowRadius");
  const GFNode* colorSpace = GF_Find(scene, "ColorSpace");
  desc.colorSpace8BitFiles = integer(colorSpace, "ColorSpace8BitFiles");
  desc.colorSpaceViewer = integer(colorSpace, "ColorSpaceViewer");
}

void readRenderSettings(const GFNode* node, SGvRenderSettingsDesc& s) {
  using S = SGvRenderSettingsDesc;
  static const RefKey<S> channels[] = {
      {"CH_GLOW_INTENSITY", &S::glowIntensity},
      {"CH_GLOW_RADIUS", &S::glowRadius},
      {"CH_GLOW_SURFACE_INTENSITY", &S::glowSurfaceIntensity},
      {"CH_BLOOM_THRESHOLD", &S::bloomThreshold},
      {"CH_BLOOM_INTENSITY", &S::bloomIntensity},
      {"CH_STREAK_THRESHOLD", &S::streakThreshold},
      {"CH_STREAK_INTENSITY", &S::streakIntensity},
      {"CH_STREAK_ATTENUATION", &S::streakAttenuation},
      {"CH_STREAK_ANGLE", &S::streakAngle},
      {"CH_STREAK_TINT", &S::streakTint},
      {"CH_DOF_MINFOCUSDIST", &S::dofMinFocusDist},
      {"CH_DOF_FOCUSEDDIST", &S::dofFocusedDist},
      {"CH_DOF_MAXFOCUSDIST", &S::dofMaxFocusDist},
      {"CH_DOF_RADIUSSCALE", &S::dofRadiusScale},
      {"CH_SSAO_DISTANCEREACH", &S::ssaoDistanceReach},
      {"CH_SSAO_MAXDEPTHDECLINE", &S::ssaoMaxDepthDecline},
      {"CH_SSAO_DEPTHALIASINGEPSILON", &S::ssaoDepthAliasingEpsilon},
      {"CH_SSAO_OUTPUTMULTIPLIER", &S::ssaoOutputMultiplier},
      {"CH_SHADOW_EPSILON", &S::shadowEpsilon},
  };
  static const struct {
    const char* name;
    std::int32_t S::*field;
    std::int32_t fallback;
  } integers[] = {
      {"CH_BLOOM_ENABLE", &S::bloomEnable, 0},
      {"CH_STREAK_ENABLE", &S::streakEnable, 0},
      {"CH_DOF_ADVANCED_ENABLE", &S::dofAdvancedEnable, 0},
      {"CH_SSAO_ENABLE", &S::ssaoEnable, 0},
      {"CH_SHADOW_ENABLE", &S::shadowEnable, 0},
      {"CH_CAMERARANGE_ENABLE", &S::cameraRangeEnable, 0},
      {"CH_AA_JITTER", &S::aaJitter, 0},
      {"CH_AA_LOCATION", &S::aaLocation, 1},
      {"CH_AA_MODE", &S::aaMode, 1},
      {"CH_AA_BLENDING", &S::aaBlending, 0},
      {"CH_AA_BLENDING_WEIGHT", &S::aaBlendingWeight, 0},
      {"CH_AA_VLIMIT_ENABLE", &S::aaVLimitEnable, 0},
  };
  s.node = node;
  readRefs(node, s, channels);
  for (const auto& key : integers) s.*key.field = integer(node, key.name, key.fallback);
  s.glowEnableSet = GF_Find(node, "CH_GLOW_ENABLE") != nullptr;
  s.glowEnable = integer(node, "CH_GLOW_ENABLE");
  s.cameraRangeMin = floatKey(node, "CH_CAMERARANGE_MIN");
  s.cameraRangeMax = floatKey(node, "CH_CAMERARANGE_MAX");
  s.aaVLimitVal = floatKey(node, "CH_AA_VLIMIT_VAL");
}

void readCubeMaps(SGvSceneDesc& desc) {
  for (const GFNode* node : children(desc.cubeMapsNode)) {
    SGvCubeMapDesc cube;
    cube.node = node;
    cube.name = text(node, "name");
    cube.renderType = integer(node, "renderType");
    cube.textureSize = integer(node, "textureSize");
    cube.renderTime = floatKey(node, "renderTime");
    cube.hideObject = integer(node, "hideObject");
    cube.position = GF_Find(node, "position");
    cube.cameraOffset = GF_Find(node, "cameraOffset");
    cube.showVolumetric = integer(node, "showVolumetric");
    cube.clampVolumetric = integer(node, "clampVolumetric");
    cube.clampVolumetricMax = floatKey(node, "clampVolumetricMax");
    cube.useLatLong = integer(node, "useLatLong");
    desc.cubeMaps.push_back(cube);
  }
}

void readCameras(SGvSceneDesc& desc) {
  static const RefKey<SGvCameraDesc> channels[] = {
      {"position", &SGvCameraDesc::position},
      {"rotation", &SGvCameraDesc::rotation},
      {"zoomFactor", &SGvCameraDesc::zoomFactor},
      {"focalDistance", &SGvCameraDesc::focalDistance},
      {"fStop", &SGvCameraDesc::fStop},
      {"separation", &SGvCameraDesc::separation},
      {"convergencePoint", &SGvCameraDesc::convergencePoint},
  };
  for (const GFNode* node : children(desc.camerasNode)) {
    SGvCameraDesc camera;
    camera.node = node;
    readRefs(node, camera, channels);
    // Each missing integer of the resolution keeps its default.
    const GFNode* resolution = GF_Find(node, "resolution");
    camera.resolution[0] = integerAt(resolution, 0, camera.resolution[0]);
    camera.resolution[1] = integerAt(resolution, 1, camera.resolution[1]);
    camera.flags = integer(node, "flags");
    camera.usingConvergencePoint = integer(node, "usingConvergencePoint");
    desc.cameras.push_back(camera);
  }
}

void readVolumetric(const GFNode* node, SGvVolumetricDesc& volumetric) {
  using V = SGvVolumetricDesc;
  static const RefKey<V> keys[] = {
      {"flags", &V::flags},           {"sprite", &V::sprite},
      {"dissolve", &V::dissolve},     {"shadow", &V::shadow},
      {"radius", &V::radius},         {"base", &V::base},
      {"height", &V::height},         {"luminosity", &V::luminosity},
      {"opacity", &V::opacity},       {"attenuation", &V::attenuation},
      {"redShift", &V::redShift},     {"density", &V::density},
      {"color", &V::color},           {"jitteredSampling", &V::jitteredSampling},
  };
  readRefs(node, volumetric, keys);
}

void readLights(SGvSceneDesc& desc) {
  static const RefKey<SGvLightDesc> channels[] = {
      {"position", &SGvLightDesc::position},
      {"rotation", &SGvLightDesc::rotation},
      {"coneAngles", &SGvLightDesc::coneAngles},
      {"rawColor", &SGvLightDesc::rawColor},
      {"intensity", &SGvLightDesc::intensity},
      {"range", &SGvLightDesc::range},
  };
  for (const GFNode* node : children(desc.lightsNode)) {
    SGvLightDesc light;
    light.node = node;
    light.name = text(node, "name");
    readRefs(node, light, channels);
    light.type = integer(node, "type");
    light.falloff = integer(node, "falloff");
    light.shadowType = integer(node, "shadowType");
    light.shadowColor = vector(node, "shadowColor");
    light.shadMapSize = integer(node, "shadMapSize");
    light.shadMapFuzz = floatKey(node, "shadMapFuzz");
    light.projImage = text(node, "projImage");
    light.flags = integer(node, "flags");
    light.volumetricNode = childNode(node, "Volumetric");
    readVolumetric(light.volumetricNode, light.volumetric);
    desc.lights.push_back(light);
  }
}

std::uint32_t gradientKeys(const GFNode* gradient) {
  bool list = gradient && gradient->kind == GF_VALUE && gradient->type == GF_FP;
  return list ? gradient->count / 5 : 0;
}

void readHyperVoxel(const GFNode* node, SGvHyperVoxelDesc& hv) {
  using H = SGvHyperVoxelDesc;
  static const RefKey<H> keys[] = {
      {"gradientParticleSize", &H::gradientParticleSize},
      {"gradientColor", &H::gradientColor},
      {"luminosity", &H::luminosity},
      {"opacity", &H::opacity},
      {"density", &H::density},
      {"clipThreshold", &H::clipThreshold},
      {"clipFrameOffset", &H::clipFrameOffset},
      {"clipFileExt", &H::clipFileExt},
      {"clipFrameRate", &H::clipFrameRate},
  };
  hv.node = node;
  readRefs(node, hv, keys);
  hv.particleSize = floatKey(node, "particleSize");
  hv.color = vector(node, "color");
  hv.clipFlags = integer(node, "clipFlags");
  hv.clipAlpha = integer(node, "clipAlpha");
  hv.clipRotation = floatKey(node, "clipRotation");
  hv.clipFilename = text(node, "clipFilename");
  hv.gradientParticleSizeKeys = gradientKeys(hv.gradientParticleSize);
  hv.gradientColorKeys = gradientKeys(hv.gradientColor);
}

void readParticleFx(const GFNode* node, SGvParticleFxDesc& fx) {
  using P = SGvParticleFxDesc;
  static const RefKey<P> keys[] = {
      {"velocity", &P::velocity},
      {"parentMotion", &P::parentMotion},
      {"gravity", &P::gravity},
      {"birthRate", &P::birthRate},
      {"lifeTime", &P::lifeTime},
      {"lifeTime_pm", &P::lifeTime_pm},
      {"explosion", &P::explosion},
      {"weight", &P::weight},
      {"resistance", &P::resistance},
      {"vibration", &P::vibration},
      {"randomVelocity", &P::randomVelocity},
      {"curlNoisePower", &P::curlNoisePower},
      {"curlNoiseFrequency", &P::curlNoiseFrequency},
      {"centerPosition", &P::centerPosition},
      {"positionBlur", &P::positionBlur},
      {"sizeEffect", &P::sizeEffect},
      {"generateBy", &P::generateBy},
      {"velocityP", &P::velocityP},
      {"startFrame", &P::startFrame},
      {"fixed", &P::fixed},
      {"weight_pm", &P::weight_pm},
      {"resistance_pm", &P::resistance_pm},
      {"threshold", &P::threshold},
      {"size", &P::size},
      {"size_pm", &P::size_pm},
      {"vibrationMin", &P::vibrationMin},
      {"maxSpeed", &P::maxSpeed},
  };
  fx.node = node;
  readRefs(node, fx, keys);
  fx.nozzle = integer(node, "nozzle");
  fx.generatorSize = vector(node, "generatorSize");
  fx.particleLimit = integer(node, "particleLimit");
}

void readEmitters(SGvSceneDesc& desc) {
  for (const GFNode* node : children(desc.fxEmittersNode)) {
    SGvEmitterDesc emitter;
    emitter.node = node;
    emitter.name = text(node, "name");
    emitter.type = integer(node, "type");
    emitter.parentName = text(node, "parentName");
    emitter.selectionMask = integer(node, "selectionMask");
    emitter.position = GF_Find(node, "position");
    emitter.rotation = GF_Find(node, "rotation");
    emitter.scale = GF_Find(node, "scale");
    readHyperVoxel(childNode(node, "HyperVoxel"), emitter.hyperVoxel);
    readParticleFx(childNode(node, "ParticleFx"), emitter.particleFx);
    emitter.hasEffect = buildEffectOf(GF_Find(node, "Shader"), emitter.effect);
    desc.emitters.push_back(std::move(emitter));
  }
}

SGvSurfaceDesc readSurface(const GFNode* node) {
  SGvSurfaceDesc surface;
  surface.node = node;
  surface.name = text(node, "name");
  const GFNode* params = GF_Find(node, "Parameters");
  for (int slot = 0; slot < kGvSurfaceParamCount; ++slot) {
    const GFNode* param = GF_Find(params, kGvSurfaceParamNames[slot]);
    SGvSurfaceParamDesc& desc = surface.params[slot];
    desc.value = GF_Find(param, "value");
    desc.kind = valueKind(desc.value);
    desc.imgFilename = text(param, "img_filename");
    desc.imgColorSpace = integer(param, "img_colorspace");
    desc.imgMipmap = integer(param, "img_mipmap", 1);
  }
  const GFNode* shader = GF_Find(node, "Shader");
  surface.applyToSurface = integer(shader, "applyToSurface");
  surface.hasEffect = buildEffectOf(shader, surface.effect);
  return surface;
}

// Per surface: the last surface that gives its effect to all, else its own effect, else the
// last surface that gives the default; nothing for a surface that takes no effect.
void chooseEffects(SGvSurfaceSetDesc& set) {
  std::int32_t forAll = -1;
  std::int32_t byDefault = -1;
  for (std::size_t i = 0; i < set.surfaces.size(); ++i) {
    const SGvSurfaceDesc& surface = set.surfaces[i];
    if (!surface.hasEffect) continue;
    if (surface.applyToSurface == 2) forAll = static_cast<std::int32_t>(i);
    if (surface.applyToSurface == 1) byDefault = static_cast<std::int32_t>(i);
  }
  for (std::size_t i = 0; i < set.surfaces.size(); ++i) {
    const SGvSurfaceDesc& surface = set.surfaces[i];
    std::int32_t source = forAll >= 0 ? forAll : surface.hasEffect ? static_cast<std::int32_t>(i) : byDefault;
    set.effectSource.push_back(surface.applyToSurface == 3 ? -1 : source);
  }
}

void readSurfaceSets(SGvSceneDesc& desc) {
  for (const GFNode* node : children(desc.sceneObjectsNode)) {
    SGvSurfaceSetDesc set;
    set.node = node;
    set.filename = text(node, "filename");
    Children surfaces = children(GF_Find(node, "Surfaces"));
    set.surfaces.reserve(surfaces.size());
    for (const GFNode* surface : surfaces) set.surfaces.push_back(readSurface(surface));
    chooseEffects(set);
    desc.surfaceSets.push_back(std::move(set));
  }
}

template <typename Desc>
std::int32_t indexByName(const std::vector<Desc>& list, const char* name) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (sameText(list[i].name, name)) return static_cast<std::int32_t>(i);
  }
  return -1;
}

SGvMddDesc readMdd(const GFNode* node) {
  SGvMddDesc mdd;
  if (!node) return mdd;
  mdd.node = node;
  mdd.filename = text(node, "filename");
  mdd.applyCacheTo = integer(node, "applyCacheTo");
  mdd.endBehavior = integer(node, "endBehavior");
  mdd.mddTotalTime = floatKey(node, "mddTotalTime");
  mdd.times = GF_Find(node, "times");
  mdd.postBehavior = integer(node, "postBehavior");
  return mdd;
}

void readObjectLinks(const SGvSceneDesc& desc, const GFNode* node, SGvObjectDesc& object) {
  for (std::size_t i = 0; i < desc.surfaceSets.size() && object.surfaceSet < 0; ++i) {
    if (sameText(desc.surfaceSets[i].filename, object.filename))
      object.surfaceSet = static_cast<std::int32_t>(i);
  }
  for (const GFNode* morph : children(GF_Find(node, "Morphs")))
    object.morphs.push_back(SGvMorphDesc{morph->name, GF_Find(morph, "value")});
  for (const GFNode* use : children(GF_Find(node, "UseCubeMaps"))) {
    SGvCubeMapUseDesc cubeUse;
    cubeUse.renderCubeMap = text(use, "renderCubeMap");
    cubeUse.cubeMap = indexByName(desc.cubeMaps, cubeUse.renderCubeMap);
    cubeUse.aabbPosition = GF_Find(use, "aabbPosition");
    cubeUse.aabbScale = GF_Find(use, "aabbScale");
    cubeUse.influence = GF_Find(use, "influence");
    object.cubeMapUses.push_back(cubeUse);
  }
}

void readObjects(SGvSceneDesc& desc) {
  for (const GFNode* node : children(desc.objectsNode)) {
    SGvObjectDesc object;
    object.node = node;
    object.name = text(node, "name");
    object.xfilename = text(node, "xfilename");
    object.filename = text(node, "filename");
    object.position = GF_Find(node, "position");
    object.rotation = GF_Find(node, "rotation");
    object.scale = GF_Find(node, "scale");
    object.pointCloudCount = integer(node, "pointCloudCount");
    object.shadowOpts = integer(node, "shadowOpts");
    object.selectionMask = integer(node, "selectionMask");
    object.vertexTextureName = text(node, "vertexTextureName");
    object.vertexTextureContent = integer(node, "vertexTextureContent");
    object.vertexTextureFormat = integer(node, "vertexTextureFormat");
    object.mdd = readMdd(childNode(node, "MDD"));
    readObjectLinks(desc, node, object);
    desc.objects.push_back(std::move(object));
  }
}

// Object names to indices; names that match no object are dropped.
std::vector<std::int32_t> objectSet(const SGvSceneDesc& desc, const GFNode* names) {
  std::vector<std::int32_t> indices;
  for (const GFNode* name : children(names)) {
    std::int32_t index = indexByName(desc.objects, textOf(name));
    if (index >= 0) indices.push_back(index);
  }
  return indices;
}

void resolveCubeMapObjects(SGvSceneDesc& desc) {
  for (SGvCubeMapDesc& cube : desc.cubeMaps) {
    cube.hideSet = objectSet(desc, GF_Find(cube.node, "hideSet"));
    cube.showSet = objectSet(desc, GF_Find(cube.node, "showSet"));
    if (cube.hideObject) cube.hiddenObject = indexByName(desc.objects, cube.name);
  }
}

void readPostProcs(SGvSceneDesc& desc) {
  for (const GFNode* node : children(desc.postProcsNode)) {
    SGvPostProcDesc pass;
    pass.node = node;
    pass.useframe = integer(node, "useframe");
    pass.startframe = integer(node, "startframe");
    pass.endframe = integer(node, "endframe");
    pass.hasEffect = buildEffectOf(node, pass.effect);
    desc.postProcs.push_back(std::move(pass));
  }
}

bool fail(const char* message) {
  sceneError = message;
  return false;
}

// A parameter's value: kept without one (kind none) when its shape is not usable.
void readRenderValue(const GFNode* value, SGvRenderParamDesc& param) {
  if (value->kind != GF_VALUE) {
    sceneError = "Renderer: unknown param type";
    return;
  }
  const GFItem data = value->value();
  switch (value->type) {
    case GF_FP:
      param.kind = data.count == 3 ? EGVRP_FLOAT3 : EGVRP_FLOAT;
      for (std::uint32_t i = 0; i < data.count && i < 3; ++i) param.value[i] = data.floats()[i];
      break;
    case GF_I4:
    case GF_U4:
      param.kind = EGVRP_INTEGER;
      param.integer = integerOf(value);
      break;
    case GF_STR:
      param.kind = EGVRP_TEXT;
      param.text = data.text();
      break;
    default: sceneError = "Renderer: unknown param value type";
  }
}

void readRenderEffect(SGvSceneDesc& desc, const GFNode* node, SGvRenderParamDesc& param) {
  if (desc.effects.size() >= kGvMaxSceneEffects) {
    sceneError = "Renderer: too much shaders";
    return;
  }
  SGvEffectDesc effect;
  if (!buildEffect(node, effect)) {
    sceneError = "Renderer: failed to create effect";
    return;
  }
  param.kind = EGVRP_EFFECT;
  param.index = static_cast<std::int32_t>(desc.effects.size());
  desc.effects.push_back(std::move(effect));
}

std::vector<SGvRenderSlotDesc> renderSlots(const GFNode* list) {
  std::vector<SGvRenderSlotDesc> slots;
  for (const GFNode* slot : children(list)) slots.push_back({text(slot, "name"), text(slot, "value")});
  return slots;
}

const SGvRenderParamDesc* findParam(const SGvRenderCommandDesc& command, const char* name) {
  for (const SGvRenderParamDesc& param : command.params) {
    if (sameText(param.name, name)) return &param;
  }
  return nullptr;
}

// A "Render Objects" command that views from a light gets that light as one more parameter.
bool addLightView(const SGvSceneDesc& desc, SGvRenderCommandDesc& command) {
  if (!sameText(command.name, "Render Objects")) return true;
  const SGvRenderParamDesc* view = findParam(command, "View");
  const SGvRenderParamDesc* select = findParam(command, "ViewSelect");
  if (!view || view->kind != EGVRP_INTEGER || view->integer != 2 || !select ||
      select->kind != EGVRP_TEXT || sameText(select->text, "(none)"))
    return true;
  std::int32_t light = indexByName(desc.lights, select->text);
  if (light < 0) return fail("Renderer: cannot find light for Render Objects");
  if (command.params.size() >= kGvMaxRenderParams)
    return fail("Renderer: too much parameters to add extra");
  SGvRenderParamDesc extra;
  extra.name = "ViewNode";
  extra.kind = EGVRP_LIGHT;
  extra.index = light;
  command.params.push_back(extra);
  return true;
}

bool readRenderCommand(SGvSceneDesc& desc, const GFNode* node) {
  SGvRenderCommandDesc command;
  command.node = node;
  command.name = text(node, "name");
  command.cmd = text(node, "cmd");
  Children params = children(GF_Find(node, "Parameters"));
  if (children(GF_Find(node, "Inputs")).size() > kGvMaxRenderInputs)
    return fail("Renderer: too much inputs");
  if (children(GF_Find(node, "Outputs")).size() > kGvMaxRenderOutputs)
    return fail("Renderer: too much outputs");
  if (params.size() > kGvMaxRenderParams) return fail("Renderer: too much parameters");
  command.inputs = renderSlots(GF_Find(node, "Inputs"));
  command.outputs = renderSlots(GF_Find(node, "Outputs"));
  for (const GFNode* child : params) {
    SGvRenderParamDesc param;
    param.name = text(child, "name");
    if (const GFNode* value = GF_Find(child, "value"))
      readRenderValue(value, param);
    else if (const GFNode* effect = GF_Find(child, "Effect"))
      readRenderEffect(desc, effect, param);
    command.params.push_back(param);
  }
  if (!addLightView(desc, command)) return false;
  desc.renderCommands.push_back(std::move(command));
  return true;
}

bool readRenderCommands(SGvSceneDesc& desc) {
  Children commands = children(GF_Find(desc.renderCommandsNode, "Commands"));
  if (!commands.list) return true;
  if (commands.size() > kGvMaxRenderCommands) return fail("Renderer: too much commands");
  desc.hasRenderer = true;
  for (const GFNode* command : commands) {
    if (!readRenderCommand(desc, command)) return false;
  }
  return true;
}

}  // namespace

SGvSceneDesc* gvSceneDescBuild(GFDocument* document) {
  sceneError.clear();
  const GFNode* scene = GF_Find(GF_Root(document), "Scene");
  if (!scene || scene->kind != GF_NODE) {
    sceneError = document ? "Scene: the file has no Scene node" : "Scene: the file is not a GF file";
    GF_Free(document);
    return nullptr;
  }
  auto* desc = new SGvSceneDesc;
  desc->document = document;
  desc->scene = scene;
  readSceneInfo(*desc);
  readLists(*desc);
  readGlobals(*desc);
  readRenderSettings(childNode(scene, "GavoRenderSettings"), desc->renderSettings);
  readCubeMaps(*desc);
  readCameras(*desc);
  readLights(*desc);
  readEmitters(*desc);
  readSurfaceSets(*desc);
  readObjects(*desc);
  resolveCubeMapObjects(*desc);
  readPostProcs(*desc);
  if (!readRenderCommands(*desc)) {
    gvSceneDescFree(desc);
    return nullptr;
  }
  return desc;
}

SGvSceneDesc* gvSceneDescLoad(const char* path) {
  sceneError.clear();
  return gvSceneDescBuild(GF_Load(path));
}

const char* gvSceneDescError() { return sceneError.c_str(); }

void gvSceneDescFree(SGvSceneDesc* desc) {
  if (!desc) return;
  GF_Free(desc->document);
  delete desc;
}

void gvEvalParamValue(EGvParamKind kind, const GFNode* value, float frame, SGvParamValue& out) {
  out.kind = kind;
  switch (kind) {
    case EGVPK_FLOAT3: {
      GFVec3 v = GF_FP3_Lerp(value, frame);
      out.value[0] = v.x;
      out.value[1] = v.y;
      out.value[2] = v.z;
      break;
    }
    case EGVPK_FLOAT: out.value[0] = GF_FP_Lerp(value, frame); break;
    case EGVPK_INTEGER: out.integer = integerOf(value); break;
    case EGVPK_TEXT: out.text = textOf(value); break;
    case EGVPK_NONE: break;
  }
}

void gvEvalEffectParams(const SGvEffectDesc& effect, float frame, SGvEffectParamValues& out) {
  out.count = static_cast<int>(std::min<std::size_t>(effect.params.size(), kGvMaxEffectParamValues));
  for (int i = 0; i < out.count; ++i) {
    const SGvEffectParamDesc& param = effect.params[i];
    out.params[i] = SGvParamValue{};
    out.params[i].name = param.name;
    gvEvalParamValue(param.kind, param.value, frame, out.params[i]);
  }
}

int gvEvalSurfaceSet(const SGvSurfaceSetDesc& set, float frame, std::vector<SGvSurfaceValues>& out) {
  int count = static_cast<int>(std::min<std::size_t>(set.surfaces.size(), kGvMaxSurfaces));
  out.resize(static_cast<std::size_t>(count));
  for (int s = 0; s < count; ++s) {
    const SGvSurfaceDesc& surface = set.surfaces[s];
    SGvSurfaceValues& values = out[s];
    for (int slot = 0; slot < kGvSurfaceParamCount; ++slot) {
      const SGvSurfaceParamDesc& param = surface.params[slot];
      SGvSurfaceValues::Param& target = values.params[slot];
      target.value = SGvParamValue{};
      target.value.name = kGvSurfaceParamNames[slot];
      gvEvalParamValue(param.kind, param.value, frame, target.value);
      target.imgFilename = param.imgFilename;
      target.imgColorSpace = param.imgColorSpace;
      target.imgMipmap = param.imgMipmap;
    }
    std::int32_t source = set.effectSource[s];
    values.effect = source >= 0 ? &set.surfaces[source].effect : nullptr;
    values.effectParams.count = 0;
    if (values.effect) gvEvalEffectParams(*values.effect, frame, values.effectParams);
  }
  return count;
}
