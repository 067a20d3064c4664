/* A program of several contexts, for linkweld --contexts --used-by: a call through a table spells
   the entry point's member, which keeps it as the usual name does. */
void frame(LinkweldTable* table, GLuint buffer) {
    table->gl.BindBufferARB(GL_ARRAY_BUFFER_ARB, buffer);
    if (EXTCAPS(WGL_EXT_swap_control)) {
        wglSwapIntervalEXT(1);
    }
}
