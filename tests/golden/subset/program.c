/* A program's use of the loader, for linkweld --used-by: its identifiers keep the names. */
void draw(void) {
    GLuint buffer;
    glGenBuffersARB(1, &buffer);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer);
    if (EXTCAPS(GL_ARB_vertex_buffer_object) && ExtCaps.flGL_EXT_blend_color) {
        glBlendColorEXT(0.0f, 0.0f, 0.0f, 0.5f);
    }
}
