/* Writes the benchmarks' long Ogg Vorbis file: a sweeping tone, mono 44100 Hz, of the given seconds.
   Built on its own: the encoder library must never meet the decoder the program links. */

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <vorbis/vorbisenc.h>

static void WritePages(ogg_stream_state* os, FILE* out, int flush) {
  ogg_page page;
  while (flush ? ogg_stream_flush(os, &page) : ogg_stream_pageout(os, &page)) {
    fwrite(page.header, 1, (size_t)page.header_len, out);
    fwrite(page.body, 1, (size_t)page.body_len, out);
  }
}

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const long rate = 44100;
  const long frames = atol(argv[2]) * rate;
  FILE* out = fopen(argv[1], "wb");
  if (!out) return 1;

  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, 1, rate, 0.3f) != 0) return 1;
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block vb;
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 1);

  ogg_packet header, comments, codebooks;
  vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
  ogg_stream_packetin(&os, &header);
  ogg_stream_packetin(&os, &comments);
  ogg_stream_packetin(&os, &codebooks);
  WritePages(&os, out, 1);

  double phase = 0.0;
  for (long done = 0; done <= frames;) {
    const long chunk = frames - done < 4096 ? frames - done : 4096;
    if (chunk > 0) {
      float** buffer = vorbis_analysis_buffer(&vd, (int)chunk);
      for (long i = 0; i < chunk; ++i) {
        const double t = (double)(done + i) / rate;
        phase += 2.0 * M_PI * (220.0 + 20.0 * fmod(t, 10.0)) / rate;
        buffer[0][i] = (float)(0.4 * sin(phase));
      }
    }
    vorbis_analysis_wrote(&vd, (int)chunk);
    done += chunk > 0 ? chunk : 1;
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, NULL);
      vorbis_bitrate_addblock(&vb);
      ogg_packet packet;
      while (vorbis_bitrate_flushpacket(&vd, &packet)) {
        ogg_stream_packetin(&os, &packet);
        WritePages(&os, out, 0);
      }
    }
  }
  WritePages(&os, out, 1);

  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return fclose(out) == 0 ? 0 : 1;
}
