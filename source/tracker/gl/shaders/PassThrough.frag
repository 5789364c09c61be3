#version 410 core
uniform sampler2D InputTexture;
in vec2 uv;
out vec4 fragColor;
void main()
{
	vec4 color = texture(InputTexture, uv);
	if (color.a > 0.0)
		color.rgb /= color.a;
	color.rgb = clamp(color.rgb * color.a, vec3(0.0), vec3(color.a));
	fragColor = color;
}
