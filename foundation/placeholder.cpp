int qp_placeholder() { return 0; }
