# benchmarks of this area: nudgewatch_add_bench(name sources...) + target_link_libraries
