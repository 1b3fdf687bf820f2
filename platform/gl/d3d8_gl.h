// The OpenGL entry points the render device uses, loaded through SDL once a context exists.
// Only the device's own sources include this header: the rest of the engine sees Direct3D names.
#pragma once
#include <GL/glcorearb.h>

#define ZINTAR_GL_FUNCTIONS(X)                                             \
    X(PFNGLGETSTRINGPROC, GetString)                                       \
    X(PFNGLGETINTEGERVPROC, GetIntegerv)                                   \
    X(PFNGLGETFLOATVPROC, GetFloatv)                                       \
    X(PFNGLGETERRORPROC, GetError)                                         \
    X(PFNGLENABLEPROC, Enable)                                             \
    X(PFNGLDISABLEPROC, Disable)                                           \
    X(PFNGLVIEWPORTPROC, Viewport)                                         \
    X(PFNGLDEPTHRANGEFPROC, DepthRangef)                                   \
    X(PFNGLSCISSORPROC, Scissor)                                           \
    X(PFNGLCLIPCONTROLPROC, ClipControl)                                   \
    X(PFNGLCLEARCOLORPROC, ClearColor)                                     \
    X(PFNGLCLEARDEPTHFPROC, ClearDepthf)                                   \
    X(PFNGLCLEARSTENCILPROC, ClearStencil)                                 \
    X(PFNGLCLEARPROC, Clear)                                               \
    X(PFNGLCOLORMASKPROC, ColorMask)                                       \
    X(PFNGLDEPTHMASKPROC, DepthMask)                                       \
    X(PFNGLSTENCILMASKPROC, StencilMask)                                   \
    X(PFNGLDEPTHFUNCPROC, DepthFunc)                                       \
    X(PFNGLSTENCILFUNCPROC, StencilFunc)                                   \
    X(PFNGLSTENCILOPPROC, StencilOp)                                       \
    X(PFNGLBLENDFUNCPROC, BlendFunc)                                       \
    X(PFNGLBLENDEQUATIONPROC, BlendEquation)                               \
    X(PFNGLCULLFACEPROC, CullFace)                                         \
    X(PFNGLFRONTFACEPROC, FrontFace)                                       \
    X(PFNGLPOLYGONMODEPROC, PolygonMode)                                   \
    X(PFNGLPOLYGONOFFSETPROC, PolygonOffset)                               \
    X(PFNGLPOINTSIZEPROC, PointSize)                                       \
    X(PFNGLPROVOKINGVERTEXPROC, ProvokingVertex)                           \
    X(PFNGLPIXELSTOREIPROC, PixelStorei)                                   \
    X(PFNGLFINISHPROC, Finish)                                             \
    X(PFNGLFLUSHPROC, Flush)                                               \
    X(PFNGLCREATEFRAMEBUFFERSPROC, CreateFramebuffers)                     \
    X(PFNGLDELETEFRAMEBUFFERSPROC, DeleteFramebuffers)                     \
    X(PFNGLBINDFRAMEBUFFERPROC, BindFramebuffer)                           \
    X(PFNGLNAMEDFRAMEBUFFERTEXTUREPROC, NamedFramebufferTexture)           \
    X(PFNGLNAMEDFRAMEBUFFERTEXTURELAYERPROC, NamedFramebufferTextureLayer) \
    X(PFNGLNAMEDFRAMEBUFFERRENDERBUFFERPROC, NamedFramebufferRenderbuffer) \
    X(PFNGLCHECKNAMEDFRAMEBUFFERSTATUSPROC, CheckNamedFramebufferStatus)   \
    X(PFNGLBLITNAMEDFRAMEBUFFERPROC, BlitNamedFramebuffer)                 \
    X(PFNGLCOPYIMAGESUBDATAPROC, CopyImageSubData)                         \
    X(PFNGLCREATERENDERBUFFERSPROC, CreateRenderbuffers)                   \
    X(PFNGLDELETERENDERBUFFERSPROC, DeleteRenderbuffers)                   \
    X(PFNGLNAMEDRENDERBUFFERSTORAGEPROC, NamedRenderbufferStorage)         \
    X(PFNGLCREATETEXTURESPROC, CreateTextures)                             \
    X(PFNGLDELETETEXTURESPROC, DeleteTextures)                             \
    X(PFNGLTEXTURESTORAGE2DPROC, TextureStorage2D)                         \
    X(PFNGLTEXTURESUBIMAGE2DPROC, TextureSubImage2D)                       \
    X(PFNGLTEXTURESUBIMAGE3DPROC, TextureSubImage3D)                       \
    X(PFNGLCOMPRESSEDTEXTURESUBIMAGE2DPROC, CompressedTextureSubImage2D)   \
    X(PFNGLCOMPRESSEDTEXTURESUBIMAGE3DPROC, CompressedTextureSubImage3D)   \
    X(PFNGLGETTEXTURESUBIMAGEPROC, GetTextureSubImage)                     \
    X(PFNGLGETCOMPRESSEDTEXTURESUBIMAGEPROC, GetCompressedTextureSubImage) \
    X(PFNGLTEXTUREPARAMETERIPROC, TextureParameteri)                       \
    X(PFNGLTEXTUREPARAMETERIVPROC, TextureParameteriv)                     \
    X(PFNGLBINDTEXTUREUNITPROC, BindTextureUnit)                           \
    X(PFNGLCREATESAMPLERSPROC, CreateSamplers)                             \
    X(PFNGLDELETESAMPLERSPROC, DeleteSamplers)                             \
    X(PFNGLSAMPLERPARAMETERIPROC, SamplerParameteri)                       \
    X(PFNGLSAMPLERPARAMETERFPROC, SamplerParameterf)                       \
    X(PFNGLSAMPLERPARAMETERFVPROC, SamplerParameterfv)                     \
    X(PFNGLBINDSAMPLERPROC, BindSampler)                                   \
    X(PFNGLCREATEBUFFERSPROC, CreateBuffers)                               \
    X(PFNGLDELETEBUFFERSPROC, DeleteBuffers)                               \
    X(PFNGLNAMEDBUFFERSTORAGEPROC, NamedBufferStorage)                     \
    X(PFNGLNAMEDBUFFERSUBDATAPROC, NamedBufferSubData)                     \
    X(PFNGLMAPNAMEDBUFFERRANGEPROC, MapNamedBufferRange)                   \
    X(PFNGLUNMAPNAMEDBUFFERPROC, UnmapNamedBuffer)                         \
    X(PFNGLINVALIDATEBUFFERDATAPROC, InvalidateBufferData)                 \
    X(PFNGLBINDBUFFERBASEPROC, BindBufferBase)                             \
    X(PFNGLCREATEVERTEXARRAYSPROC, CreateVertexArrays)                     \
    X(PFNGLDELETEVERTEXARRAYSPROC, DeleteVertexArrays)                     \
    X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray)                           \
    X(PFNGLENABLEVERTEXARRAYATTRIBPROC, EnableVertexArrayAttrib)           \
    X(PFNGLDISABLEVERTEXARRAYATTRIBPROC, DisableVertexArrayAttrib)         \
    X(PFNGLVERTEXARRAYATTRIBFORMATPROC, VertexArrayAttribFormat)           \
    X(PFNGLVERTEXARRAYATTRIBBINDINGPROC, VertexArrayAttribBinding)         \
    X(PFNGLVERTEXARRAYVERTEXBUFFERPROC, VertexArrayVertexBuffer)           \
    X(PFNGLVERTEXARRAYELEMENTBUFFERPROC, VertexArrayElementBuffer)         \
    X(PFNGLCREATESHADERPROC, CreateShader)                                 \
    X(PFNGLSHADERSOURCEPROC, ShaderSource)                                 \
    X(PFNGLCOMPILESHADERPROC, CompileShader)                               \
    X(PFNGLGETSHADERIVPROC, GetShaderiv)                                   \
    X(PFNGLGETSHADERINFOLOGPROC, GetShaderInfoLog)                         \
    X(PFNGLDELETESHADERPROC, DeleteShader)                                 \
    X(PFNGLCREATEPROGRAMPROC, CreateProgram)                               \
    X(PFNGLATTACHSHADERPROC, AttachShader)                                 \
    X(PFNGLDETACHSHADERPROC, DetachShader)                                 \
    X(PFNGLLINKPROGRAMPROC, LinkProgram)                                   \
    X(PFNGLGETPROGRAMIVPROC, GetProgramiv)                                 \
    X(PFNGLGETPROGRAMINFOLOGPROC, GetProgramInfoLog)                       \
    X(PFNGLDELETEPROGRAMPROC, DeleteProgram)                               \
    X(PFNGLUSEPROGRAMPROC, UseProgram)                                     \
    X(PFNGLDRAWARRAYSPROC, DrawArrays)                                     \
    X(PFNGLDRAWELEMENTSBASEVERTEXPROC, DrawElementsBaseVertex)             \
    X(PFNGLMULTIDRAWELEMENTSBASEVERTEXPROC, MultiDrawElementsBaseVertex)   \
    X(PFNGLGENQUERIESPROC, GenQueries)                                     \
    X(PFNGLDELETEQUERIESPROC, DeleteQueries)                               \
    X(PFNGLQUERYCOUNTERPROC, QueryCounter)                                 \
    X(PFNGLBEGINQUERYPROC, BeginQuery)                                     \
    X(PFNGLENDQUERYPROC, EndQuery)                                         \
    X(PFNGLGETQUERYOBJECTUI64VPROC, GetQueryObjectui64v)

struct GlFunctions {
#define ZINTAR_GL_DECLARE(type, name) type name = nullptr;
    ZINTAR_GL_FUNCTIONS(ZINTAR_GL_DECLARE)
#undef ZINTAR_GL_DECLARE
};

// The loaded entry points; valid while a device's context is current.
extern GlFunctions gl;

// Loads every entry point from the current context; false (with the missing name in missing,
// when given) if one is absent.
bool GlLoadFunctions(const char** missing);
