// Camera shader: darkens the corners of the finished frame, closing in over time.
/*
[GAVO_BEGIN]
//title Vignette
//subject Example camera shader
//comments Darkens the frame towards its corners; the radius shrinks with the scene time.
// float Time : Time0_X : pixel
// float Radius : 0.9 : pixel
// float Softness : 0.45 : pixel
// texture SceneMap : Color : clamp linear
[GAVO_END]
*/

float Time;
float Radius;
float Softness;
sampler2D SceneMap;

struct VS_OUTPUT {
  float4 Position : POSITION;
  float2 TexCoord : TEXCOORD0;
};

VS_OUTPUT vs_main(float4 position : POSITION, float2 texCoord : TEXCOORD0) {
  VS_OUTPUT output;
  output.Position = position;
  output.TexCoord = texCoord;
  return output;
}

float4 ps_main(float2 texCoord : TEXCOORD0) : COLOR0 {
  float4 color = tex2D(SceneMap, texCoord);
  float radius = max(Radius - 0.05 * Time, 0.3);
  float distance = length(texCoord - 0.5) * 1.41421356;
  color.rgb *= 1.0 - smoothstep(radius - Softness, radius, distance);
  return color;
}
