#pragma once
// Scene descriptions: what a scene file exported from LightWave holds, read in one pass from
// its GF document. The description points into the document rather than copying it:
// channels stay GF nodes, evaluated at any frame with the channel reads, and texts point at
// the document's texts. Integers and floats that never change are read once. An absent key
// reads as 0, no text (nullptr), (0, 0, 0) or a channel that evaluates to 0, unless a default
// is given below.
#include "scene/gf.h"
#include "scene/gf_channel.h"

#include <cstdint>
#include <vector>

// How the value node of an effect or surface parameter is evaluated.
enum EGvParamKind : std::int32_t {
  EGVPK_NONE = -1,    // no value node
  EGVPK_FLOAT3 = 0,   // an array, or FP with exactly 3 elements: GF_FP3_Lerp
  EGVPK_FLOAT = 1,    // FP_C, or FP with another element count: GF_FP_Lerp
  EGVPK_INTEGER = 2,  // I4 or U4: the first integer
  EGVPK_TEXT = 3,     // STR
};

// A parameter value evaluated at one frame.
struct SGvParamValue {
  EGvParamKind kind = EGVPK_NONE;
  const char* name = nullptr;
  float value[3] = {0, 0, 0};  // EGVPK_FLOAT3; EGVPK_FLOAT in value[0]
  std::int32_t integer = 0;
  const char* text = nullptr;
};

struct SGvEffectParamDesc {
  const char* name = nullptr;
  EGvParamKind kind = EGVPK_NONE;
  const GFNode* value = nullptr;
  std::int32_t imgColorSpace = 0;
  std::int32_t imgReference = 0;
};

// An effect with its parameters, as surfaces, emitters, post passes and renderer commands
// name them.
struct SGvEffectDesc {
  const GFNode* node = nullptr;
  const char* filename = nullptr;
  const char* cflags = nullptr;
  std::vector<SGvEffectParamDesc> params;
};

constexpr int kGvMaxEffectParamValues = 30;
struct SGvEffectParamValues {
  int count = 0;
  SGvParamValue params[kGvMaxEffectParamValues];
};

struct SGvCameraDesc {
  const GFNode* node = nullptr;
  const GFNode* position = nullptr;  // vector channel
  const GFNode* rotation = nullptr;  // heading, pitch, bank channel
  const GFNode* zoomFactor = nullptr;
  const GFNode* focalDistance = nullptr;
  const GFNode* fStop = nullptr;
  const GFNode* separation = nullptr;
  const GFNode* convergencePoint = nullptr;
  std::int32_t resolution[2] = {640, 480};
  std::int32_t flags = 0;  // 1 stereo, 8 depth of field
  std::int32_t usingConvergencePoint = 0;
};

struct SGvVolumetricDesc {
  const GFNode* flags = nullptr;  // I4 list: [1] the mode, [4] nonzero enables the colour
  const GFNode* sprite = nullptr;
  const GFNode* dissolve = nullptr;
  const GFNode* shadow = nullptr;
  const GFNode* radius = nullptr;
  const GFNode* base = nullptr;
  const GFNode* height = nullptr;
  const GFNode* luminosity = nullptr;
  const GFNode* opacity = nullptr;
  const GFNode* attenuation = nullptr;
  const GFNode* redShift = nullptr;
  const GFNode* density = nullptr;
  const GFNode* color = nullptr;
  const GFNode* jitteredSampling = nullptr;
};

struct SGvLightDesc {
  const GFNode* node = nullptr;
  const char* name = nullptr;
  const GFNode* position = nullptr;
  const GFNode* rotation = nullptr;
  const GFNode* coneAngles = nullptr;  // two-channel: cone and edge angle
  const GFNode* rawColor = nullptr;
  const GFNode* intensity = nullptr;
  const GFNode* range = nullptr;
  std::int32_t type = 0;  // 0 distant, 2 spot, other values point
  std::int32_t falloff = 0;
  std::int32_t shadowType = 0;
  GFVec3 shadowColor;
  std::int32_t shadMapSize = 0;
  float shadMapFuzz = 0;
  const char* projImage = nullptr;
  std::int32_t flags = 0;  // 0x20 volumetric
  const GFNode* volumetricNode = nullptr;
  SGvVolumetricDesc volumetric;
};

struct SGvMddDesc {
  const GFNode* node = nullptr;  // nullptr: the object has no point cache
  const char* filename = nullptr;
  std::int32_t applyCacheTo = 0;
  std::int32_t endBehavior = 0;  // 1 repeat, 2 stop, 3 oscillate, other values hold
  float mddTotalTime = 0;
  const GFNode* times = nullptr;
  std::int32_t postBehavior = 0;
};

struct SGvMorphDesc {
  const char* name = nullptr;
  const GFNode* value = nullptr;  // channel: the morph weight
};

struct SGvCubeMapUseDesc {
  const char* renderCubeMap = nullptr;
  std::int32_t cubeMap = -1;  // index in cubeMaps; -1 makes the use invalid
  const GFNode* aabbPosition = nullptr;
  const GFNode* aabbScale = nullptr;
  const GFNode* influence = nullptr;
};

struct SGvObjectDesc {
  const GFNode* node = nullptr;
  const char* name = nullptr;
  const char* xfilename = nullptr;
  const char* filename = nullptr;
  std::int32_t surfaceSet = -1;  // index in surfaceSets of the entry with this filename
  const GFNode* position = nullptr;
  const GFNode* rotation = nullptr;
  const GFNode* scale = nullptr;
  std::int32_t pointCloudCount = 0;
  std::int32_t shadowOpts = 0;  // 2 casts shadows
  std::int32_t selectionMask = 0;
  const char* vertexTextureName = nullptr;
  std::int32_t vertexTextureContent = 0;
  std::int32_t vertexTextureFormat = 0;
  SGvMddDesc mdd;
  std::vector<SGvMorphDesc> morphs;
  std::vector<SGvCubeMapUseDesc> cubeMapUses;
};

// The parameter slots of a surface, in slot order.
constexpr int kGvSurfaceParamCount = 39;
extern const char* const kGvSurfaceParamNames[kGvSurfaceParamCount];

struct SGvSurfaceParamDesc {
  EGvParamKind kind = EGVPK_NONE;
  const GFNode* value = nullptr;
  const char* imgFilename = nullptr;
  std::int32_t imgColorSpace = 0;
  std::int32_t imgMipmap = 1;
};

struct SGvSurfaceDesc {
  const GFNode* node = nullptr;
  const char* name = nullptr;
  SGvSurfaceParamDesc params[kGvSurfaceParamCount];
  // 0 this surface only, 1 default for the object's surfaces without an effect, 2 all the
  // object's surfaces, 3 this surface takes no effect.
  std::int32_t applyToSurface = 0;
  bool hasEffect = false;
  SGvEffectDesc effect;
};

// The surfaces of one mesh file.
struct SGvSurfaceSetDesc {
  const GFNode* node = nullptr;
  const char* filename = nullptr;
  std::vector<SGvSurfaceDesc> surfaces;
  // Per surface, the surface whose effect applies to it, or -1 for none.
  std::vector<std::int32_t> effectSource;
};

constexpr int kGvMaxSurfaces = 256;
struct SGvSurfaceValues {
  struct Param {
    SGvParamValue value;
    const char* imgFilename = nullptr;
    std::int32_t imgColorSpace = 0;
    std::int32_t imgMipmap = 1;
  } params[kGvSurfaceParamCount];
  const SGvEffectDesc* effect = nullptr;  // nullptr: no effect applies
  SGvEffectParamValues effectParams;
};

struct SGvHyperVoxelDesc {
  const GFNode* node = nullptr;
  float particleSize = 0;
  GFVec3 color;
  std::int32_t clipFlags = 0;  // 2: particles take the clip image's colour
  std::int32_t clipAlpha = 0;
  float clipRotation = 0;
  const char* clipFilename = nullptr;
  // FP lists of five floats per gradient key.
  const GFNode* gradientParticleSize = nullptr;
  const GFNode* gradientColor = nullptr;
  std::uint32_t gradientParticleSizeKeys = 0;
  std::uint32_t gradientColorKeys = 0;
  const GFNode* luminosity = nullptr;
  const GFNode* opacity = nullptr;
  const GFNode* density = nullptr;
  const GFNode* clipThreshold = nullptr;
  const GFNode* clipFrameOffset = nullptr;
  const GFNode* clipFileExt = nullptr;
  const GFNode* clipFrameRate = nullptr;
};

struct SGvParticleFxDesc {
  const GFNode* node = nullptr;
  std::int32_t nozzle = 0;
  GFVec3 generatorSize;
  std::int32_t particleLimit = 0;
  // Channels evaluated per frame.
  const GFNode* velocity = nullptr;  // vector
  const GFNode* parentMotion = nullptr;
  const GFNode* gravity = nullptr;  // vector
  const GFNode* birthRate = nullptr;
  const GFNode* lifeTime = nullptr;
  const GFNode* lifeTime_pm = nullptr;
  const GFNode* explosion = nullptr;
  const GFNode* weight = nullptr;
  const GFNode* resistance = nullptr;
  const GFNode* vibration = nullptr;
  const GFNode* randomVelocity = nullptr;
  const GFNode* curlNoisePower = nullptr;
  const GFNode* curlNoiseFrequency = nullptr;
  // Kept for completeness.
  const GFNode* centerPosition = nullptr;
  const GFNode* positionBlur = nullptr;
  const GFNode* sizeEffect = nullptr;
  const GFNode* generateBy = nullptr;
  const GFNode* velocityP = nullptr;
  const GFNode* startFrame = nullptr;
  const GFNode* fixed = nullptr;
  const GFNode* weight_pm = nullptr;
  const GFNode* resistance_pm = nullptr;
  const GFNode* threshold = nullptr;
  const GFNode* size = nullptr;
  const GFNode* size_pm = nullptr;
  const GFNode* vibrationMin = nullptr;
  const GFNode* maxSpeed = nullptr;
};

struct SGvEmitterDesc {
  const GFNode* node = nullptr;
  const char* name = nullptr;
  std::int32_t type = 0;  // 0 ParticleFX, 1 HyperVoxel on an object's mesh
  const char* parentName = nullptr;
  std::int32_t selectionMask = 0;
  const GFNode* position = nullptr;
  const GFNode* rotation = nullptr;
  const GFNode* scale = nullptr;
  SGvHyperVoxelDesc hyperVoxel;
  SGvParticleFxDesc particleFx;
  bool hasEffect = false;
  SGvEffectDesc effect;
};

struct SGvCubeMapDesc {
  const GFNode* node = nullptr;
  const char* name = nullptr;
  std::int32_t renderType = 0;  // 1 every frame, other values once at renderTime
  std::int32_t textureSize = 0;
  float renderTime = 0;  // seconds
  std::int32_t hideObject = 0;
  std::int32_t hiddenObject = -1;  // the object named like the cube map, when hideObject
  std::vector<std::int32_t> hideSet;  // object indices
  std::vector<std::int32_t> showSet;
  const GFNode* position = nullptr;
  const GFNode* cameraOffset = nullptr;
  std::int32_t showVolumetric = 0;
  std::int32_t clampVolumetric = 0;
  float clampVolumetricMax = 0;
  std::int32_t useLatLong = 0;
};

struct SGvPostProcDesc {
  const GFNode* node = nullptr;
  std::int32_t useframe = 0;
  std::int32_t startframe = 0;
  std::int32_t endframe = 0;
  bool hasEffect = false;
  SGvEffectDesc effect;
};

struct SGvRenderSettingsDesc {
  const GFNode* node = nullptr;
  bool glowEnableSet = false;  // CH_GLOW_ENABLE present: it overrides glowEffect
  std::int32_t glowEnable = 0;
  const GFNode* glowIntensity = nullptr;
  const GFNode* glowRadius = nullptr;
  const GFNode* glowSurfaceIntensity = nullptr;
  std::int32_t bloomEnable = 0;
  const GFNode* bloomThreshold = nullptr;
  const GFNode* bloomIntensity = nullptr;
  std::int32_t streakEnable = 0;
  const GFNode* streakThreshold = nullptr;
  const GFNode* streakIntensity = nullptr;
  const GFNode* streakAttenuation = nullptr;
  const GFNode* streakAngle = nullptr;
  const GFNode* streakTint = nullptr;  // colour channel
  std::int32_t dofAdvancedEnable = 0;
  const GFNode* dofMinFocusDist = nullptr;
  const GFNode* dofFocusedDist = nullptr;
  const GFNode* dofMaxFocusDist = nullptr;
  const GFNode* dofRadiusScale = nullptr;
  std::int32_t ssaoEnable = 0;
  const GFNode* ssaoDistanceReach = nullptr;
  const GFNode* ssaoMaxDepthDecline = nullptr;
  const GFNode* ssaoDepthAliasingEpsilon = nullptr;
  const GFNode* ssaoOutputMultiplier = nullptr;
  std::int32_t shadowEnable = 0;
  const GFNode* shadowEpsilon = nullptr;
  std::int32_t cameraRangeEnable = 0;
  float cameraRangeMin = 0;
  float cameraRangeMax = 0;
  std::int32_t aaJitter = 0;
  std::int32_t aaLocation = 1;
  std::int32_t aaMode = 1;
  std::int32_t aaBlending = 0;
  std::int32_t aaBlendingWeight = 0;
  std::int32_t aaVLimitEnable = 0;
  float aaVLimitVal = 0;
};

// Renderer command parameters: kinds and their payloads.
enum EGvRenderParamKind : std::int32_t {
  EGVRP_NONE = 0,
  EGVRP_FLOAT = 1,    // value[0]
  EGVRP_FLOAT3 = 2,   // value
  EGVRP_INTEGER = 3,  // integer
  EGVRP_TEXT = 4,     // text
  EGVRP_EFFECT = 5,   // index in the scene's effects
  EGVRP_LIGHT = 6,    // index in lights (added for light views)
};

struct SGvRenderParamDesc {
  const char* name = nullptr;
  EGvRenderParamKind kind = EGVRP_NONE;
  float value[3] = {0, 0, 0};
  std::int32_t integer = 0;
  const char* text = nullptr;
  std::int32_t index = -1;
};

struct SGvRenderSlotDesc {
  const char* name = nullptr;
  const char* value = nullptr;
};

constexpr int kGvMaxRenderCommands = 50;
constexpr int kGvMaxRenderInputs = 10;
constexpr int kGvMaxRenderOutputs = 5;
constexpr int kGvMaxRenderParams = 20;
constexpr int kGvMaxSceneEffects = 50;

struct SGvRenderCommandDesc {
  const GFNode* node = nullptr;
  const char* name = nullptr;
  const char* cmd = nullptr;
  std::vector<SGvRenderSlotDesc> inputs;
  std::vector<SGvRenderSlotDesc> outputs;
  std::vector<SGvRenderParamDesc> params;
};

struct SGvSceneDesc {
  GFDocument* document = nullptr;  // owned
  const GFNode* scene = nullptr;

  // SceneInfo
  std::int32_t frameStart = 0;
  std::int32_t frameEnd = 0;
  std::int32_t frameStep = 0;
  float framesPerSecond = 0;
  const char* loadAudio = nullptr;
  float audioStartTime = 0;  // seconds after the scene's start
  const GFNode* renderCamera = nullptr;  // channel: index of the active camera

  // Top-level lists.
  const GFNode* camerasNode = nullptr;
  const GFNode* lightsNode = nullptr;
  const GFNode* objectsNode = nullptr;
  const GFNode* sceneObjectsNode = nullptr;
  const GFNode* fxEmittersNode = nullptr;
  const GFNode* cubeMapsNode = nullptr;
  const GFNode* postProcsNode = nullptr;
  const GFNode* renderCommandsNode = nullptr;

  GFVec3 backdropZenith;
  const GFNode* ambient = nullptr;  // colour channel
  std::int32_t glowEffect = 0;
  const GFNode* glowIntensity = nullptr;
  const GFNode* glowRadius = nullptr;
  std::int32_t colorSpace8BitFiles = 0;
  std::int32_t colorSpaceViewer = 0;
  SGvRenderSettingsDesc renderSettings;

  std::vector<SGvCubeMapDesc> cubeMaps;
  std::vector<SGvCameraDesc> cameras;
  std::vector<SGvLightDesc> lights;
  std::vector<SGvEmitterDesc> emitters;
  std::vector<SGvSurfaceSetDesc> surfaceSets;
  std::vector<SGvObjectDesc> objects;
  std::vector<SGvPostProcDesc> postProcs;
  bool hasRenderer = false;  // GavoRenderCommands with Commands present
  std::vector<SGvRenderCommandDesc> renderCommands;
  std::vector<SGvEffectDesc> effects;  // referenced by EGVRP_EFFECT parameters
};

// Loads a scene file. nullptr when it does not load as GF, has no "Scene" node or its
// renderer commands break a limit; the scene error text then says why. The error text is
// cleared first, and a bad renderer parameter leaves its text there even when the scene
// loads.
SGvSceneDesc* gvSceneDescLoad(const char* path);
// The same for a document already loaded; takes it over, and frees it on failure.
SGvSceneDesc* gvSceneDescBuild(GFDocument* document);
const char* gvSceneDescError();
void gvSceneDescFree(SGvSceneDesc* desc);

// Evaluation at a frame position, for animating a scene.
void gvEvalParamValue(EGvParamKind kind, const GFNode* value, float frame, SGvParamValue& out);
// The first kGvMaxEffectParamValues parameters of an effect.
void gvEvalEffectParams(const SGvEffectDesc& effect, float frame, SGvEffectParamValues& out);
// Every surface of a set (at most kGvMaxSurfaces) with the effect that applies to it;
// returns how many were written.
int gvEvalSurfaceSet(const SGvSurfaceSetDesc& set, float frame, std::vector<SGvSurfaceValues>& out);
