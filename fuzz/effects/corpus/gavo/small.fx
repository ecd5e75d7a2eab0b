//[GAVO_BEGIN]
//GAVO_PP:D:FOG:// texture 3 : Bump : cube clamp_v noMipMap
// texture env : sky.dds : preset vertex
// function pixelMain : psMain
// config techniques : a b
//cflag X
// float3 p : Surface_IOR : both
