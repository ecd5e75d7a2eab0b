// Four point lights with distance falloff, shared by the medium benchmark program.
#ifndef LIGHT_COUNT
#define LIGHT_COUNT 4
#endif

float4 LightPositions[LIGHT_COUNT];
float4 LightColours[LIGHT_COUNT];
float4 AmbientColour = {0.1, 0.1, 0.12, 1};

float3 pointLights(float3 position, float3 normal, float3 toEye, float shininess) {
  float3 total = AmbientColour.rgb;
  for (int i = 0; i < LIGHT_COUNT; ++i) {
    float3 toLight = LightPositions[i].xyz - position;
    float distance = length(toLight);
    toLight /= max(distance, 0.0001);
    float falloff = saturate(1 - distance / LightPositions[i].w);
    float diffuse = saturate(dot(normal, toLight));
    float3 halfway = normalize(toLight + toEye);
    float specular = pow(saturate(dot(normal, halfway)), shininess);
    total += LightColours[i].rgb * (diffuse + specular * LightColours[i].a) * falloff;
  }
  return total;
}
